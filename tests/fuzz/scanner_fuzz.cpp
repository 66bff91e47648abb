#include "core/tokenizer/scanner.h"

#include "rtl/exception.h"

#include <cstdint>
#include <cstdlib>

// The first byte picks the syntax, the standard SQL settings and the word lists; the rest is the source.
// Errors are allowed; a crash, a sanitizer report or a scan that does not move on is a failure.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size == 0)
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(Data + 1), qsizetype(Size - 1));
    TZScanner scanner;
    scanner.SetSyntax(Data[0] % 4 + 1);
    if (Data[0] & 8) {
        scanner.SetEscapeChar(QChar());
        scanner.SetLineComment(QStringLiteral("--"));
    }
    if (Data[0] & 16)
        scanner.SetReservedWords({QStringLiteral("select"), QStringLiteral("From")});
    if (Data[0] & 32)
        scanner.SetBlockComments(text.left(8));
    scanner.SetLines(text.split('\n'));

    const TZScanParams params {TokenKinds({tkIdentifier, tkDelimiter, tkReserved}), QStringLiteral("select"),
        QStringLiteral("=,<>,in,like")};
    // Each step takes a token or skips a failing code, and both consume text; a look-ahead that meets a
    // failing code goes back before it, once per token.
    const qsizetype limit = (text.size() + 2 * ScannerWindow + 2) * (text.size() + 2 * ScannerWindow + 2);
    TZScannerBookmark previous, current;
    qint32 lookedAhead = -1;
    try {
        scanner.Start();
    } catch (const rtl::Exception&) {
    }
    scanner.GetBookmark(previous);
    for (qsizetype steps = 0; !scanner.Eof(); ++steps) {
        if (steps > limit)
            abort();
        const TZToken token = scanner.GetToken(0);
        try {
            // The look-ahead answers the same twice and leaves the position as it was. It goes back
            // before a failing code, so it is asked once per token for the scan to get past that code.
            if (token.Text == QStringLiteral("(") && token.Pos != lookedAhead) {
                lookedAhead = token.Pos;
                if (scanner.ScanFor("(", ")", params) != scanner.ScanFor("(", ")", params))
                    abort();
            }
        } catch (const rtl::Exception&) {
        }
        if (scanner.GetToken(0).Pos != token.Pos || scanner.GetTokenText() != token.Text)
            abort();
        scanner.GetBookmark(current);
        scanner.GetTextBetween(previous, current, steps % 2 == 0);
        previous = current;
        try {
            scanner.Next();
        } catch (const rtl::Exception&) {
        }
    }
    return 0;
}
