// Facts about nodes that the dump, the tests and the fuzz target share.
#include "regexpr/RegExprProgram.h"

#include <array>
#include <string>

namespace regexpr {

std::string_view OpCodeName(TOpCode op) {
    static const std::array<std::string, 256> names = [] {
        std::array<std::string, 256> table;
        table[OpEnd] = "OpEnd";
        table[OpInputStart] = "OpInputStart";
        table[OpInputEnd] = "OpInputEnd";
        table[OpAny] = "OpAny";
        table[OpBranch] = "OpBranch";
        table[OpBack] = "OpBack";
        table[OpLiteral] = "OpLiteral";
        table[OpEmpty] = "OpEmpty";
        table[OpStar] = "OpStar";
        table[OpPlus] = "OpPlus";
        table[OpDigit] = "OpDigit";
        table[OpNonDigit] = "OpNonDigit";
        table[OpBraces] = "OpBraces";
        table[OpComment] = "OpComment";
        table[OpLiteralNoCase] = "OpLiteralNoCase";
        table[OpLoopEntry] = "OpLoopEntry";
        table[OpLoop] = "OpLoop";
        table[OpSmallSet] = "OpSmallSet";
        table[OpNotSmallSet] = "OpNotSmallSet";
        table[OpByteSet] = "OpByteSet";
        table[OpBackRef] = "OpBackRef";
        table[OpBackRefNoCase] = "OpBackRefNoCase";
        table[OpStarLazy] = "OpStarLazy";
        table[OpPlusLazy] = "OpPlusLazy";
        table[OpBracesLazy] = "OpBracesLazy";
        table[OpLoopLazy] = "OpLoopLazy";
        table[OpLineStart] = "OpLineStart";
        table[OpLineEnd] = "OpLineEnd";
        table[OpAnyInLine] = "OpAnyInLine";
        table[OpWordBound] = "OpWordBound";
        table[OpNotWordBound] = "OpNotWordBound";
        for (int n = 1; n <= MaxGroups; ++n) {
            table[OpOpen + n] = "OpOpen+" + std::to_string(n);
            table[OpClose + n] = "OpClose+" + std::to_string(n);
        }
        return table;
    }();
    return names[op];
}

std::int32_t NodeSize(std::span<const std::uint8_t> program, std::int32_t node) {
    const std::int64_t size = static_cast<std::int64_t>(program.size());
    if (node < 0 || node + NodeHeaderSize > size) return 0;
    const TOpCode op = program[static_cast<std::size_t>(node)];
    if (OpCodeName(op).empty()) return 0;
    std::int64_t operand = 0;
    switch (op) {
    case OpLiteral:
    case OpLiteralNoCase: {
        std::int64_t at = node + NodeHeaderSize;
        while (at < size && program[static_cast<std::size_t>(at)] != 0) ++at;
        if (at >= size) return 0;
        operand = at + 1 - (node + NodeHeaderSize);
        break;
    }
    case OpSmallSet:
    case OpNotSmallSet: operand = SmallSetSize; break;
    case OpByteSet: operand = ByteSetSize; break;
    case OpBraces:
    case OpBracesLazy: operand = BracesOperandSize; break;
    case OpLoop:
    case OpLoopLazy: operand = LoopOperandSize; break;
    case OpBackRef:
    case OpBackRefNoCase: operand = 1; break;
    default: break;
    }
    if (node + NodeHeaderSize + operand > size) return 0;
    return static_cast<std::int32_t>(NodeHeaderSize + operand);
}

}  // namespace regexpr
