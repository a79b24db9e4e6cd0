#include "formats/fileprocs.h"

#include "core/cardops.h"
#include "common/textwidth.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "common/boundedread.h"
#include "common/readbudget.h"
#include "common/cp932.h"
#include "common/oledate.h"
#include "common/safesave.h"
#include "core/characterloss.h"

#include <new>

namespace {

// File messages are plain OK boxes with the default title.
void warn(Prompter &prompter, const QString &text)
{
    prompter.notice(text);
}


bool expect(QStringView s, qsizetype &pos, char16_t c)
{
    if (pos < s.size() && s[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

} // namespace

bool ReplacePathCheck(const QString &path, Prompter &prompter)
{
    const SaveTarget target = inspectSaveTarget(path);
    const QString shown = QLatin1Char('[') + path + QLatin1Char(']');
    switch (target.kind) {
    case SaveTarget::Missing:
    case SaveTarget::Folder: // the writers refuse it with their own message
        return true;
    case SaveTarget::Other:
        warn(prompter, shown + QStringLiteral("は通常のファイルではありません。"));
        return false;
    case SaveTarget::File:
        break;
    }
    if (target.readOnly) {
        warn(prompter, shown + QStringLiteral("は読取専用ファイルです。"));
        return false;
    }
    return true;
}

bool WritePathCheck(const QString &path, bool overwriteSilently, Prompter &prompter)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !QFileInfo(info.absolutePath()).isDir()) {
        warn(prompter, QStringLiteral("パスが見つかりません。"));
        return false;
    }
    if (!info.exists() && !info.isSymLink())
        return true;
    const QString shown = QLatin1Char('[') + path + QLatin1Char(']');
    if (info.isDir()) {
        warn(prompter, shown + QStringLiteral("はディレクトリです。"));
        return false;
    }
    if (!ReplacePathCheck(path, prompter))
        return false;
    if (info.fileName().startsWith(QLatin1Char('.'))) {
        warn(prompter, shown + QStringLiteral("は隠しファイルです。"));
        return false;
    }
    if (overwriteSilently)
        return true;
    return prompter.ask(Prompter::Message{shown + QStringLiteral("は既に存在します。上書きしますか？"),
                                          QString(), Prompter::Buttons(Prompter::Yes) | Prompter::No,
                                          Prompter::Icon::Question, Prompter::No})
        != Prompter::No;
}

namespace {

// n in decimal, zero-padded to width digits. Exports write two dates per
// card: formatting through QLocale would cost more than the rest of a card.
void appendDigits(QString &out, int n, int width)
{
    char16_t digits[4];
    for (int i = width - 1; i >= 0; --i, n /= 10)
        digits[i] = char16_t(u'0' + n % 10);
    out.append(QStringView(digits, width));
}

void appendDate(QString &out, const QDate &d)
{
    appendDigits(out, d.year(), 4);
    out += u'/';
    appendDigits(out, d.month(), 2);
    out += u'/';
    appendDigits(out, d.day(), 2);
}

} // namespace

QString DateText(DateValue value)
{
    const QDateTime dt = oleToDateTime(value);
    QString out;
    if (dt.isValid())
        appendDate(out, dt.date());
    return out;
}

QString DateTimeText(DateValue value)
{
    const QDateTime dt = oleToDateTime(value);
    QString out;
    if (!dt.isValid())
        return out;
    out.reserve(19);
    appendDate(out, dt.date());
    const QTime t = dt.time();
    out += u' ';
    appendDigits(out, t.hour(), 2);
    out += u':';
    appendDigits(out, t.minute(), 2);
    out += u':';
    appendDigits(out, t.second(), 2);
    return out;
}

bool parseDateText(QStringView text, DateValue &value)
{
    const QStringView s = trimSpaces(text);
    qsizetype pos = 0;
    int y, mo, d, h = 0, mi = 0, sec = 0;
    if (!readDigits(s, pos, 4, 4, y) || !expect(s, pos, u'/') || !readDigits(s, pos, 1, 2, mo)
        || !expect(s, pos, u'/') || !readDigits(s, pos, 1, 2, d))
        return false;
    if (pos < s.size()) {
        if (!expect(s, pos, u' '))
            return false;
        while (expect(s, pos, u' ')) {
        }
        if (!readDigits(s, pos, 1, 2, h) || !expect(s, pos, u':') || !readDigits(s, pos, 1, 2, mi))
            return false;
        if (expect(s, pos, u':') && !readDigits(s, pos, 1, 2, sec))
            return false;
        if (pos != s.size())
            return false;
    }
    const QDate date(y, mo, d);
    const QTime time(h, mi, sec);
    if (!date.isValid() || !time.isValid())
        return false;
    const DateValue v = oleFromDateTime(QDateTime(date, time, Qt::UTC));
    if (v == NoDate || !isShowableDate(v))
        return false;
    value = v;
    return true;
}

QString SafeFileName(QStringView text)
{
    QString s;
    s.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 32 || u == u'"' || u == u'\\' || u == u'/' || u == u':' || u == u'*'
            || u == u'?' || u == u'<' || u == u'>' || u == u'|')
            s += QLatin1Char('.');
        else
            s += c;
    }
    QStringView v = trimSpaces(s);

    constexpr qsizetype MaxBytes = 251;
    qsizetype bytes = 0, end = 0;
    while (end < v.size()) {
        qsizetype len = 1;
        if (v[end].isHighSurrogate() && end + 1 < v.size() && v[end + 1].isLowSurrogate())
            len = 2;
        const qsizetype w = cp932::encodedLength(v.mid(end, len));
        if (bytes + w > MaxBytes)
            break;
        bytes += w;
        end += len;
    }
    v = v.first(end);
    while (!v.isEmpty() && v.back() == u' ')
        v.chop(1);
    return v.toString();
}

TextAccumulator::TextAccumulator(qsizetype expectedSize)
{
    if (expectedSize > 0)
        m_text.reserve(expectedSize);
}

bool TextAccumulator::append(QStringView text)
{
    // One physical buffer holds large + middle + small in order; only the
    // levels' fill counts are kept, which decide the flush points.
    m_text.append(text);
    m_small += text.size();
    if (m_small <= SmallLimit)
        return false;
    m_middle += m_small;
    m_small = 0;
    if (m_middle > MiddleLimit)
        m_middle = 0;
    ++m_flushes;
    return true;
}

QString TextAccumulator::take()
{
    m_small = m_middle = 0;
    return std::exchange(m_text, QString());
}

int writeTextFileSafely(const QString &path, const QString &text, Prompter &prompter,
                        const Progress &progress, bool trashOld, qsizetype *replaced)
{
    return writeBytesFileSafely(path, cp932::encode(text, replaced), prompter, progress, trashOld);
}

int writeBytesFileSafely(const QString &path, QByteArrayView bytes, Prompter &prompter,
                         const Progress &progress, bool trashOld)
{
    SaveFailure failure = SaveFailure::None;
    if (saveFileSafely(path, bytes, {progress, trashOld}, &failure) == 0)
        return 0;
    if (const QString refused = saveRefusedMessage(failure, path); !refused.isEmpty())
        warn(prompter, refused);
    else if (failure != SaveFailure::Cancelled)
        warn(prompter, QLatin1Char('[') + path + QStringLiteral("]の書き込みに失敗しました。"));
    return -1;
}

int readFileForImport(const QString &path, QByteArray &bytes, Prompter &prompter,
                      bool refuseEmpty)
{
    if (refuseEmpty && QFileInfo(path).size() < 1) {
        warn(prompter, QStringLiteral("ファイルが読めません"));
        return -1;
    }
    if (const ReadFault fault = readRegularFile(path, MaxBookFileSize, bytes);
        fault != ReadFault::None) {
        warn(prompter, importReadFaultMessage(fault, MaxBookFileSize));
        return -1;
    }
    if (refuseEmpty && bytes.isEmpty()) {
        warn(prompter, QStringLiteral("ファイルが読めません"));
        return -1;
    }
    ReadBudget::chargeBytes(bytes.size());
    return 0;
}

int readTextFileForImport(const QString &path, QString &text, Prompter &prompter,
                          bool refuseEmpty, ImportDecoding *decoding)
{
    QByteArray bytes;
    if (readFileForImport(path, bytes, prompter, refuseEmpty) != 0)
        return -1;
    try {
        ReadBudget::chargeBytes(2 * bytes.size()); // at most one UTF-16 unit per byte
        if (!decoding) {
            text = cp932::decode(bytes);
        } else {
            decoding->replaced = 0;
            if (decoding->keepBytes && decoding->decodeLater) {
                if (decoding->encoding == TextEncoding::Auto)
                    decoding->encoding = detectTextEncoding(bytes);
                decoding->decodeLater = decoding->encoding != TextEncoding::Utf16;
                if (decoding->decodeLater) {
                    text = QString();
                    decoding->bytes = std::move(bytes);
                    return 0;
                }
            }
            text = decodeText(bytes, decoding->encoding, &decoding->replaced, &decoding->encoding);
            if (decoding->keepBytes) {
                decoding->bytes = std::move(bytes);
                return 0;
            }
        }
        ReadBudget::chargeBytes(-bytes.size()); // the bytes go once decoded
        bytes = QByteArray();
    } catch (const ReadBudgetExceeded &) {
        throw; // told by the read procedure
    } catch (const std::bad_alloc &) {
        warn(prompter, outOfMemoryMessage());
        return -1;
    }
    return 0;
}

void reportReplacedCharacters(const AddressBook &book, qsizetype replaced,
                              const std::function<qsizetype(qsizetype index)> &replacedIn,
                              Prompter &prompter)
{
    if (replaced > 0)
        CharacterLoss::byCard(book, replaced, replacedIn).report(prompter);
}

QString mailDomainSuffix(QStringView niftyDomain)
{
    if (niftyDomain.isEmpty() || niftyDomain.startsWith(u'@'))
        return niftyDomain.toString();
    return u'@' + niftyDomain.toString();
}

QString serviceMailAddress(const QString &id, QStringView niftyDomain)
{
    return id.contains(u'@') ? id : id + mailDomainSuffix(niftyDomain);
}

QString cardsLeftOutMessage(int total, int read)
{
    return QStringLiteral("カードの枚数が上限を超えたため、%1 枚のうち %2 枚を読み込みました。"
                          "残りの %3 枚は読み込んでいません。")
        .arg(total)
        .arg(read)
        .arg(total - read);
}

void reportDroppedCards(int read, int leftOut, Prompter &prompter)
{
    if (leftOut > 0)
        prompter.lossNotice(cardsLeftOutMessage(read + leftOut, read));
}
