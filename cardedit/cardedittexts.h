#pragma once
// The texts of the card editor and the group selection dialog.

#include <QString>

namespace CardEditText {

inline const QString Title = QStringLiteral("カード編集");
inline const QString Tab0 = QStringLiteral("ｱﾄﾞﾚｽ");
inline const QString Tab1 = QStringLiteral("メモ");
inline const QString Tab2 = QStringLiteral("ﾌﾟﾛﾌｨｰﾙ");
inline const QString Tab3 = QStringLiteral("電子ﾒｰﾙ");
inline const QString Tab4 = QStringLiteral("最近の状況");
inline const QString Tab5 = QStringLiteral("関連ﾘﾝｸ");
inline const QString Tab6 = QStringLiteral("ﾀｲﾑｽﾀﾝﾌﾟ");
inline const QString LabelId = QStringLiteral("ﾕｰｻﾞID");
inline const QString LabelName = QStringLiteral("名前");
inline const QString LabelAddress = QStringLiteral("住所");
inline const QString LabelTel = QStringLiteral("電話");
inline const QString LabelFax = QStringLiteral("FAX");
inline const QString LabelHandy = QStringLiteral("携帯");
inline const QString LabelBell = QStringLiteral("ﾎﾟｹﾍﾞﾙ");
inline const QString LabelBirth = QStringLiteral("誕生日");
inline const QString LabelGroup = QStringLiteral("ｸﾞﾙｰﾌﾟ");
inline const QString Add = QStringLiteral("追加");
inline const QString Change = QStringLiteral("変更");
inline const QString Delete = QStringLiteral("削除");
inline const QString Up = QStringLiteral("↑");
inline const QString Down = QStringLiteral("↓");
inline const QString Correct = QStringLiteral("修正");
inline const QString LabelExchange = QStringLiteral("交流記録");
inline const QString LabelRemark = QStringLiteral("発言記録");
inline const QString AutoRecord = QStringLiteral("自動記録する");
inline const QString LinkLine = QStringLiteral("工事中 m(__)m");
inline const QString Open = QStringLiteral("開く");
inline const QString LabelCreated = QStringLiteral("作成日時");
inline const QString LabelUpdated = QStringLiteral("更新日時");
inline const QString Now = QStringLiteral("現在の日時");
inline const QString SameAsUpdated = QStringLiteral("更新と同じ");
inline const QString SameAsCreated = QStringLiteral("作成と同じ");
inline const QString AutoTimeStamp = QStringLiteral("保存時にﾀｲﾑｽﾀﾝﾌﾟを更新する");
inline const QString Save = QStringLiteral("保存");
inline const QString Cancel = QStringLiteral("ｷｬﾝｾﾙ");
inline const QString Unknown = QStringLiteral("（不明）");
// yyyy, mm, dd are replaced by the digits
inline const QString DateFormat = QStringLiteral("yyyy年mm月dd日");
// hh, mm, ss are replaced by the digits
inline const QString TimeFormat = QStringLiteral("hh時mm分ss秒");
inline const QString AgePrefix = QStringLiteral("現在 ");
inline const QString AgeSuffix = QStringLiteral(" 才  ");
inline const QString BirthdayToday = QStringLiteral("（今日が誕生日です）");
inline const QString BirthdayTomorrow = QStringLiteral("（明日が誕生日です）");
inline const QString BirthdayInTwoDays = QStringLiteral("（明後日が誕生日です）");
inline const QString BirthdayInAWeek = QStringLiteral("（一週間後が誕生日です）");
inline const QString BirthdayInPrefix = QStringLiteral("（次の誕生日まであと ");
inline const QString BirthdayInSuffix = QStringLiteral(" 日）");
inline const QString AskCreatedNow = QStringLiteral("更新日時も同時に変更します。宜しいですか？");
inline const QString NeedId = QStringLiteral("最低１つのIDが必要です");
inline const QString NeedName = QStringLiteral("最低１つの名前が必要です");
inline const QString AskLoseEdits = QStringLiteral("編集中の内容が失われます。宜しいですか？");
// followed by the characters on a line of their own, then AskSaveAnyway
inline const QString UnwritableCharacters = QStringLiteral("次の文字はファイルに保存できないため、「?」に置き換えられます。");
inline const QString AskSaveAnyway = QStringLiteral("このまま保存しますか？");
inline const QString PromptAddId = QStringLiteral("追加するID番号を入力してください");
inline const QString PromptEditId = QStringLiteral("ID番号を編集してください");
inline const QString PromptAddName = QStringLiteral("追加する名前を入力してください");
inline const QString PromptEditName = QStringLiteral("名前を編集してください");
inline const QString PromptEditMail = QStringLiteral("電子メールを編集してください");
inline const QString PromptEditExchange = QStringLiteral("交流記録を編集してください");
inline const QString PromptEditRemark = QStringLiteral("発言記録を編集してください");
// follows "[" + ID
inline const QString IdUsedByOtherCard = QStringLiteral("] は他のｶｰﾄﾞで使用されています。");
// follows "[" + text
inline const QString AlreadyUsed = QStringLiteral("]は既に使用されています。");
inline const QString AtFirst = QStringLiteral("一番先頭です。");
inline const QString AtLast = QStringLiteral("一番後ろです。");
inline const QString ProfileNone = QStringLiteral("NONE");
inline const QString NotFetched = QStringLiteral("未取得");
inline const QString PageSeparator = QStringLiteral(" / ");
inline const QString NoProfile = QStringLiteral("－該当する利用者のプロフィールはありません－");
inline const QString NoSharedFolder = QStringLiteral("－共有ログフォルダが正しく設定されていません－");
inline const QString ProfPageDesign = QStringLiteral("0/0");
inline const QString ProfTitleDesign = QStringLiteral("YY/MM/DD XXXXXXXX");
inline const QString PrevPage = QStringLiteral("＜");
inline const QString NextPage = QStringLiteral("＞");
inline const QString Swap = QStringLiteral("交換");
inline const QString ChangeTitle = QStringLiteral("タイトル変更");
inline const QString PromptTitle = QStringLiteral("プロフィールのタイトルを編集してください。");
inline const QString AddProfileTitle = QStringLiteral("入力ﾌｧｲﾙの選択");
inline const QString FilterProfile = QStringLiteral("選択されたIDのﾌﾟﾛﾌｨｰﾙ");
inline const QString FilterProfileSuffix = QStringLiteral(".*");
inline const QString FilterAll = QStringLiteral("全てのﾌｧｲﾙ(*.*)");
inline const QString FilterAllPattern = QStringLiteral("*.*");
// yy, mm, dd are replaced by the digits
inline const QString NewEntryDateFormat = QStringLiteral("yy/mm/dd");
inline const QString GroupSelectTitle = QStringLiteral("ｸﾞﾙｰﾌﾟの選択");
inline const QString GroupSelectMessage = QStringLiteral("ｸﾞﾙｰﾌﾟを選択してください");
inline const QString SelectAll = QStringLiteral("全選択");
inline const QString UnselectAll = QStringLiteral("全解除");
inline const QString Select = QStringLiteral("選択");
inline const QString NoGroups = QStringLiteral("ｸﾞﾙｰﾌﾟが未登録です。ﾒｲﾝｳｨﾝﾄﾞｳのｸﾞﾙｰﾌﾟ作成によりあらかじめ作成してください。");

} // namespace CardEditText
