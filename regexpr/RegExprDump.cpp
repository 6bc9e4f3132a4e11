// The program listing.
#include "regexpr/RegExprDump.h"

#include <cstdio>

#include "regexpr/RegExprProgram.h"

namespace regexpr {

namespace {

// Appends `c` as it would be written in an expression. (Appending piece by piece also keeps
// clear of a false -Wrestrict report of g++ 12 on chained string concatenation.)
void AppendPrintable(std::string &out, unsigned char c) {
    if (c == '"' || c == '\\') {
        out.push_back('\\');
        out.push_back(static_cast<char>(c));
    } else if (c >= 32 && c < 127) {
        out.push_back(static_cast<char>(c));
    } else {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out.append(hex);
    }
}

std::string SetMembers(const std::uint8_t *bits) {
    std::string members;
    for (int c = 0; c < 256; ++c) {
        if (!((bits[c >> 3] >> (c & 7)) & 1)) continue;
        int last = c;
        while (last + 1 < 256 && ((bits[(last + 1) >> 3] >> ((last + 1) & 7)) & 1)) ++last;
        AppendPrintable(members, static_cast<unsigned char>(c));
        if (last > c) {
            members.push_back('-');
            AppendPrintable(members, static_cast<unsigned char>(last));
        }
        c = last;
    }
    return members;
}

}  // namespace

std::string DumpProgram(std::span<const std::uint8_t> program) {
    std::string out;
    if (program.empty()) return "(no program)\n";
    char line[96];
    std::snprintf(line, sizeof line, "%4d: signature 0x%02X (%d bytes)\n", 0, program[0],
                  static_cast<int>(program.size()));
    out += line;
    const std::int32_t size = static_cast<std::int32_t>(program.size());
    for (std::int32_t node = 1; node < size;) {
        const std::int32_t nodeSize = NodeSize(program, node);
        if (nodeSize == 0) {
            std::snprintf(line, sizeof line, "%4d: corrupted opcode %d\n", node, program[node]);
            out += line;
            break;
        }
        const TOpCode op = program[node];
        const std::int32_t link = NodeLink(program.data(), node);
        const std::string name(OpCodeName(op));
        if (link == 0)
            std::snprintf(line, sizeof line, "%4d: %-16s link 0", node, name.c_str());
        else
            std::snprintf(line, sizeof line, "%4d: %-16s link %d -> %d", node, name.c_str(), link,
                          node + link);
        out += line;
        const std::uint8_t *operand = NodeOperand(program.data(), node);
        switch (op) {
        case OpLiteral:
        case OpLiteralNoCase:
            out += "  \"";
            for (const std::uint8_t *p = operand; *p != 0; ++p) AppendPrintable(out, *p);
            out += "\"";
            break;
        case OpSmallSet:
        case OpNotSmallSet:
            out.append("  {");
            for (int i = 0; i < 3; ++i) {
                if (i > 0) out.push_back(' ');
                AppendPrintable(out, operand[i]);
            }
            out.push_back('}');
            break;
        case OpByteSet:
            out.append("  [");
            out.append(SetMembers(operand));
            out.push_back(']');
            break;
        case OpBraces:
        case OpBracesLazy:
            std::snprintf(line, sizeof line, "  min %d max %d", CountMin(program.data(), node),
                          CountMax(program.data(), node));
            out += line;
            break;
        case OpLoop:
        case OpLoopLazy:
            std::snprintf(line, sizeof line, "  min %d max %d body %d -> %d", CountMin(program.data(), node),
                          CountMax(program.data(), node), LoopBodyOffset(program.data(), node),
                          node + LoopBodyOffset(program.data(), node));
            out += line;
            break;
        case OpBackRef:
        case OpBackRefNoCase:
            std::snprintf(line, sizeof line, "  group %d", operand[0]);
            out += line;
            break;
        default:
            break;
        }
        out += "\n";
        node += nodeSize;
    }
    return out;
}

}  // namespace regexpr
