#include "rtl/textfile.h"

#include "rtl/exception.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>

namespace rtl {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five codes it leaves unassigned keep
// their Latin-1 meaning, so no byte is lost.
// clang-format off
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
// clang-format on

QString DecodeCp1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes[i]);
        text[i] = (b >= 0x80 && b <= 0x9F) ? QChar(Cp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

// Every line break as CR LF, whichever form the text had.
QString WithCrLf(const QString& text)
{
    QString result;
    result.reserve(text.size() + text.size() / 16);
    const QChar* data = text.constData();
    const qsizetype n = text.size();
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = data[i];
        if (c != u'\r' && c != u'\n')
            continue;
        result.append(data + runStart, i - runStart);
        result += QLatin1String("\r\n");
        if (c == u'\r' && i + 1 < n && data[i + 1] == u'\n')
            ++i;
        runStart = i + 1;
    }
    result.append(data + runStart, n - runStart);
    return result;
}

[[noreturn]] void RaiseFileError(const char* message, const QString& path, const QString& reason)
{
    throw EFileError(QString::fromLatin1(message).arg(QDir::toNativeSeparators(path), reason));
}

// A link to a missing file, or a loop of links.
bool LeadsNowhere(const QFileInfo& Info)
{
    return Info.isSymLink() && !Info.exists();
}

}  // namespace

QString DecodeFileText(const QByteArray& bytes)
{
    QByteArrayView data(bytes);
    if (data.startsWith("\xEF\xBB\xBF"))
        data = data.sliced(3);
    // Stateless, so a sequence cut off at the end counts as invalid instead of waiting for more.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(data);
    if (!utf8.hasError())
        return text;
    // One line typed in another editor must not turn the UTF-8 of every other line into mojibake
    // that the next save makes permanent. Line breaks are ASCII and never inside a UTF-8 sequence.
    text.clear();
    text.reserve(data.size());
    const char* const begin = data.data();
    const char* const end = begin + data.size();
    for (const char* line = begin; line != end;) {
        const char* next = std::find_if(line, end, [](char c) { return c == '\n' || c == '\r'; });
        if (next != end)
            ++next;
        const QByteArrayView bytesOfLine(line, next);
        text += bytesOfLine.isValidUtf8() ? QString::fromUtf8(bytesOfLine) : DecodeCp1252(bytesOfLine);
        line = next;
    }
    return text;
}

QString ReadTextFile(const QString& path)
{
    // Checked before opening: opening a FIFO waits for a writer, and a device never ends.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw EFileError(QStringLiteral("\"%1\" is not a regular file").arg(QDir::toNativeSeparators(path)));
    if (LeadsNowhere(info))
        throw EFileError(QStringLiteral("\"%1\" is a symbolic link that leads to no file")
                             .arg(QDir::toNativeSeparators(path)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        RaiseFileError("Cannot open file \"%1\". %2", path, file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        RaiseFileError("Cannot read file \"%1\". %2", path, file.errorString());
    return DecodeFileText(bytes);
}

void WriteTextFile(const QString& path, const QString& text)
{
    // The save would create the link's target wherever it points, or put a file in place of a loop.
    if (LeadsNowhere(QFileInfo(path)))
        RaiseFileError("Cannot write file \"%1\". %2", path,
            QStringLiteral("It is a symbolic link that leads to no file."));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        RaiseFileError("Cannot create file \"%1\". %2", path, file.errorString());
    const QByteArray bytes = WithCrLf(text).toUtf8();
    // The commit's own flush may fail unreported (a full disk) and rename a short file over the old
    // one: the flush is checked first. A failure leaves the temporary to the destructor, which
    // removes it.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        RaiseFileError("Cannot write file \"%1\". %2", path, file.errorString());
}

}  // namespace rtl
