#include "navigate/ParseErrorLine.h"

#include "config/TextRules.h"
#include "regexpr/RegExpr.h"

std::int32_t PositionInteger(const std::string &text) {
    // Unlike a directive's number, a position takes a sign only before decimal digits.
    return ParseInteger32(text, SignedHex::Refused);
}

ErrorPosition ParseErrorLine(const std::string &outputLine, const TCommandOptions &options) {
    ErrorPosition result;
    regexpr::TRegExpr expression;
    expression.SetExpression(options.RegExp);
    if (!expression.Exec(outputLine)) return result;

    const int highest = expression.SubMatchCount();
    if (options.LineMatch > 0 && highest >= options.LineMatch)
        result.line = PositionInteger(expression.Match(options.LineMatch));
    if (options.ColumnMatch < 1)
        result.column = options.ColumnMatch;
    else if (highest >= options.ColumnMatch)
        result.column = PositionInteger(expression.Match(options.ColumnMatch));
    if (options.FileMatch > 0 && highest >= options.FileMatch)
        result.fileName = expression.Match(options.FileMatch);
    return result;
}
