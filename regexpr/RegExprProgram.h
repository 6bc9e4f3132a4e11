// The compiled form of a regular expression: the byte layout that the compiler writes and the
// matcher reads.
//
// A program is one contiguous byte block. Byte 0 is `ProgramSignature`; from byte 1 on, nodes
// follow each other without padding. Every node starts with a 5-byte header: the opcode, then
// `Link`, a signed 32-bit little-endian offset from this node to the node that follows it in
// sequence (0: no successor). The operand, if any, follows the header. Offsets are unaligned, so
// every 32-bit field is read and written through memcpy.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "regexpr/RegExprByteBlock.h"

namespace regexpr {

using TOpCode = std::uint8_t;

inline constexpr std::uint8_t ProgramSignature = 0xD8;

/// Where an object keeps its program. The programs of the expressions that read tool output
/// (up to a few hundred characters) fit into the inline part.
using TProgramBlock = TByteBlock<2048>;

/// Size of a node's header: opcode and `Link`.
inline constexpr std::int32_t NodeHeaderSize = 5;
/// Offset of `Link` inside a node.
inline constexpr std::int32_t LinkOffset = 1;

/// "{n,}" and the counted loops of "*" and "+" use this as their maximum.
inline constexpr std::int32_t BracesLimit = 0x7FFFFFFE;
/// OpStar and OpPlus repeat at most this often.
inline constexpr std::int32_t RepeatLimit = 0x7FFFFFFF;

/// Capturing groups are numbered 1 to `MaxGroups`; slot 0 is the whole match.
inline constexpr int MaxGroups = 14;
inline constexpr int SubMatchSlots = MaxGroups + 1;
/// Counted loops that may be active (nested) at the same time.
inline constexpr int LoopStackSize = 10;

inline constexpr TOpCode OpEnd = 0;
inline constexpr TOpCode OpInputStart = 1;
inline constexpr TOpCode OpInputEnd = 2;
inline constexpr TOpCode OpAny = 3;
inline constexpr TOpCode OpBranch = 6;
inline constexpr TOpCode OpBack = 7;
inline constexpr TOpCode OpLiteral = 8;
inline constexpr TOpCode OpEmpty = 9;
inline constexpr TOpCode OpStar = 10;
inline constexpr TOpCode OpPlus = 11;
inline constexpr TOpCode OpDigit = 12;
inline constexpr TOpCode OpNonDigit = 13;
inline constexpr TOpCode OpBraces = 18;
inline constexpr TOpCode OpComment = 19;
inline constexpr TOpCode OpLiteralNoCase = 20;
inline constexpr TOpCode OpLoopEntry = 23;
inline constexpr TOpCode OpLoop = 24;
inline constexpr TOpCode OpSmallSet = 25;
inline constexpr TOpCode OpNotSmallSet = 26;
inline constexpr TOpCode OpByteSet = 27;
inline constexpr TOpCode OpBackRef = 28;
inline constexpr TOpCode OpBackRefNoCase = 29;
inline constexpr TOpCode OpStarLazy = 30;
inline constexpr TOpCode OpPlusLazy = 31;
inline constexpr TOpCode OpBracesLazy = 32;
inline constexpr TOpCode OpLoopLazy = 33;
inline constexpr TOpCode OpLineStart = 34;
inline constexpr TOpCode OpLineEnd = 35;
inline constexpr TOpCode OpAnyInLine = 36;
inline constexpr TOpCode OpWordBound = 37;
inline constexpr TOpCode OpNotWordBound = 38;
/// OpOpen + n starts group n, OpClose + n ends it (n = 1 to 14).
inline constexpr TOpCode OpOpen = 39;
inline constexpr TOpCode OpClose = 54;

/// Operand sizes of the nodes whose operand has a fixed size.
inline constexpr std::int32_t SmallSetSize = 3;
inline constexpr std::int32_t ByteSetSize = 32;
inline constexpr std::int32_t BracesOperandSize = 8;   // minimum, maximum
inline constexpr std::int32_t LoopOperandSize = 12;    // minimum, maximum, body offset
inline constexpr std::int32_t BracesNodeSize = NodeHeaderSize + BracesOperandSize;
inline constexpr std::int32_t LoopNodeSize = NodeHeaderSize + LoopOperandSize;

inline bool IsOpenOp(TOpCode op) { return op > OpOpen && op <= OpOpen + MaxGroups; }
inline bool IsCloseOp(TOpCode op) { return op > OpClose && op <= OpClose + MaxGroups; }

/// Reads a signed 32-bit little-endian value at `at`.
inline std::int32_t ReadInt32(const std::uint8_t *at) {
    std::uint32_t value = std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 |
                          std::uint32_t(at[2]) << 16 | std::uint32_t(at[3]) << 24;
    std::int32_t result;
    std::memcpy(&result, &value, sizeof result);
    return result;
}

/// Writes a signed 32-bit little-endian value at `at`.
inline void WriteInt32(std::uint8_t *at, std::int32_t value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    at[0] = std::uint8_t(bits);
    at[1] = std::uint8_t(bits >> 8);
    at[2] = std::uint8_t(bits >> 16);
    at[3] = std::uint8_t(bits >> 24);
}

// --- Operands ---------------------------------------------------------------------------------
// Each operand of the format has one reader (and, where the compiler patches it in place, one
// writer); `program` is the block's first byte and `node` the offset of the node's opcode.

/// Where the fields of a counted node lie inside it: OpBraces and OpBracesLazy hold minimum and
/// maximum; OpLoop and OpLoopLazy hold them and the offset back to the loop's body.
inline constexpr std::int32_t CountMinField = NodeHeaderSize;
inline constexpr std::int32_t CountMaxField = NodeHeaderSize + 4;
inline constexpr std::int32_t LoopBodyField = NodeHeaderSize + 8;

/// The signed `Link` of a node as stored (0: no successor).
inline std::int32_t NodeLink(const std::uint8_t *program, std::int32_t node) {
    return ReadInt32(program + node + LinkOffset);
}
inline void SetNodeLink(std::uint8_t *program, std::int32_t node, std::int32_t link) {
    WriteInt32(program + node + LinkOffset, link);
}

/// The first operand byte of a node: a literal's string, a set's bytes, a back-reference's group.
inline const std::uint8_t *NodeOperand(const std::uint8_t *program, std::int32_t node) {
    return program + node + NodeHeaderSize;
}

/// The first node of an OpBranch's alternative, and the node an OpLoopEntry encloses: both follow
/// the header.
inline std::int32_t NodeAfterHeader(std::int32_t node) { return node + NodeHeaderSize; }

/// The group number of an OpBackRef or OpBackRefNoCase node.
inline int BackRefGroup(const std::uint8_t *program, std::int32_t node) { return program[node + NodeHeaderSize]; }

/// Minimum and maximum of an OpBraces, OpBracesLazy, OpLoop or OpLoopLazy node.
inline std::int32_t CountMin(const std::uint8_t *program, std::int32_t node) {
    return ReadInt32(program + node + CountMinField);
}
inline std::int32_t CountMax(const std::uint8_t *program, std::int32_t node) {
    return ReadInt32(program + node + CountMaxField);
}
inline void SetCountBounds(std::uint8_t *program, std::int32_t node, std::int32_t min, std::int32_t max) {
    WriteInt32(program + node + CountMinField, min);
    WriteInt32(program + node + CountMaxField, max);
}

/// The offset from an OpLoop or OpLoopLazy node back to its body's first node (negative).
inline std::int32_t LoopBodyOffset(const std::uint8_t *program, std::int32_t node) {
    return ReadInt32(program + node + LoopBodyField);
}

/// Whether an opcode is a repeat of a single node that carries its bounds in the node.
inline bool IsBracesOp(TOpCode op) { return op == OpBraces || op == OpBracesLazy; }

/// The single node that a simple repeat repeats: after the header, and after the bounds of the
/// OpBraces forms.
inline std::int32_t RepeatOperandNode(TOpCode op, std::int32_t node) {
    return node + (IsBracesOp(op) ? BracesNodeSize : NodeHeaderSize);
}

/// The fewest repetitions a simple repeat takes: 0 for OpStar, 1 for OpPlus, the stored minimum
/// for OpBraces (and the same for their non-greedy forms).
inline std::int32_t RepeatMin(const std::uint8_t *program, std::int32_t node) {
    const TOpCode op = program[node];
    if (IsBracesOp(op)) return CountMin(program, node);
    return op == OpPlus || op == OpPlusLazy ? 1 : 0;
}

/// The node that the `Link` of `node` designates, or 0 when there is none or when the link, or
/// the node itself, lies outside a program of `size` bytes. Every node visit of the compiler and
/// the matcher asks this, so each range test is one unsigned comparison (a target that wraps
/// around lands far above any program's size).
inline std::int32_t LinkedNode(const std::uint8_t *program, std::int32_t size, std::int32_t node) {
    if (size <= NodeHeaderSize || std::uint32_t(node) - 1 >= std::uint32_t(size - NodeHeaderSize)) return 0;
    const std::int32_t link = NodeLink(program, node);
    const std::uint32_t target = std::uint32_t(node) + std::uint32_t(link);
    if (link == 0 || target - 1 >= std::uint32_t(size) - 1) return 0;
    return static_cast<std::int32_t>(target);
}

/// Whether `c` is in a 256-bit map packed as an OpByteSet operand: bit (c & 7) of byte (c >> 3).
inline bool InByteSet(const std::uint8_t *set, unsigned char c) { return (set[c >> 3] >> (c & 7)) & 1; }

/// Puts `c` into a map packed as an OpByteSet operand.
inline void AddToByteSet(std::uint8_t *set, unsigned char c) {
    set[c >> 3] = static_cast<std::uint8_t>(set[c >> 3] | (1u << (c & 7)));
}

/// Literals that every match of a program contains: the last one along the way that every match
/// takes, and the longest (the later of equally long ones). Each is kept as a prefix of at most
/// `Capacity` bytes, which every match contains as well; a length of 0 means none.
struct TRequiredLiterals {
    static constexpr int Capacity = 15;
    struct TLiteral {
        std::uint8_t Length = 0;
        char Bytes[Capacity] = {};

        std::string_view View() const { return std::string_view(Bytes, Length); }
    };
    TLiteral Last;
    TLiteral Longest;
    /// For a program anchored at the start: the literal every match begins with.
    TLiteral Prefix;
    /// The whole length of the longest one.
    std::int32_t LongestLength = 0;
};

/// The name of an opcode ("OpBranch", "OpOpen+3"), or an empty view for a value that no
/// compiled program holds.
std::string_view OpCodeName(TOpCode op);

/// The total size of the node at `node` (header and operand), computed from its opcode and, for
/// literals, from the NUL that ends the string. Returns 0 for an unknown opcode or a node that
/// does not fit into `program`.
std::int32_t NodeSize(std::span<const std::uint8_t> program, std::int32_t node);

}  // namespace regexpr
