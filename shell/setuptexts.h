#pragma once
// The texts of the options dialog.

#include <QString>

namespace SetupText {

inline const QString Title = QStringLiteral("Brindle の設定");
inline const QString FrameCorvid = QStringLiteral("Corvid の環境設定");
inline const QString LabelHomeFolder = QStringLiteral("ﾎｰﾑﾌｫﾙﾀﾞ：");
inline const QString NoteHomeFolder = QStringLiteral("ｱﾄﾞﾚｽ帳の保存されているﾌｫﾙﾀﾞです。");
inline const QString Browse = QStringLiteral("...");
inline const QString LabelGlobalLogFolder = QStringLiteral("共有ﾛｸﾞﾌｫﾙﾀﾞ：");
inline const QString NoteGlobalLogFolder = QStringLiteral("ﾌﾟﾛﾌｨｰﾙの表示で参照します。");
inline const QString Rediscover = QStringLiteral("再取得");
inline const QString FrameLimits = QStringLiteral("不信カードの判断基準");
inline const QString LimitLabel0 = QStringLiteral("IDが");
inline const QString UnitCount = QStringLiteral("件以上");
inline const QString LimitLabel1 = QStringLiteral("名前が");
inline const QString LimitLabel2 = QStringLiteral("ﾌﾟﾛﾌｨｰﾙが");
inline const QString LimitLabel3 = QStringLiteral("電子ﾒｰﾙ履歴が");
inline const QString LimitLabel4 = QStringLiteral("交流記録が");
inline const QString LimitLabel5 = QStringLiteral("発言記録が");
inline const QString LimitLabel6 = QStringLiteral("その他の情報が");
inline const QString UnitChars = QStringLiteral("文字以上");
inline const QString Defaults = QStringLiteral("初期値");
inline const QString FrameOther = QStringLiteral("その他");
inline const QString LabelNiftyDomain = QStringLiteral("ID→ｱﾄﾞﾚｽ 変換で使用するNiftyのﾄﾞﾒｲﾝ名：");
inline const QString LostMemo = QStringLiteral("外部ﾌｧｲﾙ読み書きで未対応の項目はメモに書き足す");
inline const QString Trash = QStringLiteral("上書き保存の時は必ず元のﾌｧｲﾙをごみ箱に残しておく");
inline const QString Ok = QStringLiteral("OK");
inline const QString Cancel = QStringLiteral("ｷｬﾝｾﾙ");
inline const QString PromptHomeFolder = QStringLiteral("ﾎｰﾑﾌｫﾙﾀﾞを選択して下さい。");
inline const QString PromptGlobalLogFolder = QStringLiteral("ｸﾞﾛｰﾊﾞﾙﾛｸﾞﾌｫﾙﾀﾞを選択して下さい。");
inline const QString FolderMissing = QStringLiteral(" が存在しません");
inline const QString LimitTooLow = QStringLiteral("は 1 以上に設定する必要があります");
inline const QString LimitName0 = QStringLiteral("ID");
inline const QString LimitName1 = QStringLiteral("名前");
inline const QString LimitName2 = QStringLiteral("プロフィール");
inline const QString LimitName3 = QStringLiteral("電子メール履歴");
inline const QString LimitName4 = QStringLiteral("交流記録");
inline const QString LimitName5 = QStringLiteral("発言記録");
inline const QString LimitName6 = QStringLiteral("その他の文字");

// The seven limit boxes: the label before each box, the unit after it, and
// the name the limit check uses.
inline const QString LimitLabels[7] = {LimitLabel0, LimitLabel1, LimitLabel2, LimitLabel3,
                                       LimitLabel4, LimitLabel5, LimitLabel6};
inline const QString LimitUnits[7] = {UnitCount, UnitCount, UnitCount, UnitCount,
                                      UnitCount, UnitCount, UnitChars};
inline const QString LimitNames[7] = {LimitName0, LimitName1, LimitName2, LimitName3,
                                      LimitName4, LimitName5, LimitName6};

} // namespace SetupText
