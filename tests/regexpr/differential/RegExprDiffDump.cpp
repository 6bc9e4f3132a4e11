// Prints what the engine makes of a set of expressions, so that two builds of it can be compared
// (compare.sh): for each expression and modifier set the compiled program's bytes, the search
// hints, the start-character set or the compile error's code and position; then, for each
// subject, the outcome, the execution error and every sub-match's position and length.
//
//   regexpr_diffdump CASES [GENERATED] [--detail] [--only I,J,...]
//
// CASES holds one case a line: the modifiers in decimal, the expression and its subjects in hex,
// separated by spaces. GENERATED expressions follow, made by a fixed pseudo-random sequence,
// each under four modifier sets with four subjects. Each case prints one line, "index compile
// match" with a 64-bit hash of each record, or with --detail the records themselves. It uses only
// the engine's public interface, so it builds against any revision of it.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "regexpr/RegExpr.h"

namespace {

using regexpr::ERegExpr;
using regexpr::TRegExpr;

struct TCase {
    std::int32_t Modifiers = 14;
    std::string Pattern;
    std::vector<std::string> Subjects;
};

std::string FromHex(const std::string &hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string ToHex(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex.push_back(digits[c >> 4]);
        hex.push_back(digits[c & 15]);
    }
    return hex;
}

/// The text with bytes outside printable ASCII (and the backslash) written as \xNN.
std::string Printable(std::string_view text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 32 && c < 127 && c != '\\') {
            out.push_back(static_cast<char>(c));
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        }
    }
    return out;
}

std::uint64_t Fnv(const std::string &text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

std::string HashText(std::uint64_t hash) {
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4) text[static_cast<std::size_t>(i)] = "0123456789abcdef"[hash & 15];
    return text;
}

/// The compile record: the program and its hints, or the error.
std::string CompileRecord(TRegExpr &re, const TCase &c, bool &compiled) {
    re.SetModifiers(c.Modifiers);
    re.SetExpression(c.Pattern);
    compiled = false;
    try {
        re.CompileExpression();
    } catch (const ERegExpr &e) {
        return "error " + std::to_string(e.Code) + " pos " + std::to_string(e.Pos);
    }
    compiled = true;
    const auto program = re.Program();
    std::string record = "program " + ToHex(std::string_view(reinterpret_cast<const char *>(program.data()), program.size()));
    record += " startchar " + std::to_string(re.StartChar()) + " anchored " + std::to_string(re.AnchoredStart());
    const std::string_view must = re.MustString();
    record += " must " + (must.empty() ? std::string("-")
                                       : std::to_string(reinterpret_cast<const std::uint8_t *>(must.data()) - program.data()) +
                                             ":" + ToHex(must));
    std::string set(256, '0');
    for (int i = 0; i < 256; ++i)
        if (re.StartCharSet().test(static_cast<std::size_t>(i))) set[static_cast<std::size_t>(i)] = '1';
    record += " set " + set;
    return record;
}

/// The match record of every subject.
std::string MatchRecord(TRegExpr &re, const TCase &c) {
    std::string record;
    for (const std::string &subject : c.Subjects) {
        bool matched = false;
        std::int32_t code = 0;
        try {
            re.SetInputString(subject);
            matched = re.ExecAt(1);
        } catch (const ERegExpr &e) {
            code = e.Code;
        }
        record += matched ? "[match" : "[none";
        if (code != 0) record += " error " + std::to_string(code);
        for (std::int32_t n = 0; matched && n <= regexpr::MaxGroups; ++n)
            if (re.MatchPos(n) >= 0) record += " " + std::to_string(n) + "=" + std::to_string(re.MatchPos(n)) + "+" + std::to_string(re.MatchLen(n));
        record += "]";
    }
    return record;
}

/// A fixed pseudo-random sequence (xorshift), the same on every build.
class TRandom {
public:
    std::uint32_t Next(std::uint32_t bound) {
        State_ ^= State_ << 13;
        State_ ^= State_ >> 7;
        State_ ^= State_ << 17;
        return static_cast<std::uint32_t>(State_ % bound);
    }

private:
    std::uint64_t State_ = 0x9E3779B97F4A7C15ull;
};

const char *const Pieces[] = {
    "a", "b", "c", "ab", "1", ".", "\\d", "\\w", "\\s", "\\D", "\\W", "\\b", "\\B", "[ab]", "[^a]", "[a-c1]",
    "[\\d_]", "^", "$", "\\A", "\\Z", "(", "(", ")", ")", "|", "*", "+", "?", "*?", "+?", "??", "{2}",
    "{0,1}", "{1,3}", "{2,}", "{0,2}?", "{,2}", "\\1", "\\2", "(?i)", "(?-g)", "(?m)", "(?#x)", "\\x41",
    " ", "\\.", "-", ":", "{",
};
constexpr std::uint32_t PieceCount = sizeof Pieces / sizeof Pieces[0];
const char SubjectChars[] = "aaabbc1_ A:.-\r\n";
const std::int32_t GeneratedModifiers[] = {14, 15, 6, 62};

std::vector<TCase> Generate(std::size_t count) {
    TRandom random;
    std::vector<TCase> cases;
    cases.reserve(count * 4);
    for (std::size_t i = 0; i < count; ++i) {
        TCase c;
        const std::uint32_t pieces = 1 + random.Next(10);
        int open = 0;
        for (std::uint32_t p = 0; p < pieces; ++p) {
            const std::string piece = Pieces[random.Next(PieceCount)];
            open += piece == "(" ? 1 : piece == ")" ? -1 : 0;
            c.Pattern += piece;
        }
        if (random.Next(4) != 0)  // most expressions close their groups
            for (; open > 0; --open) c.Pattern += ')';
        for (int s = 0; s < 3; ++s) {
            std::string subject;
            const std::uint32_t length = random.Next(14);
            for (std::uint32_t k = 0; k < length; ++k) subject.push_back(SubjectChars[random.Next(sizeof SubjectChars - 1)]);
            c.Subjects.push_back(subject);
        }
        c.Subjects.push_back("aaaaaaaaab");
        for (std::int32_t modifiers : GeneratedModifiers) {
            c.Modifiers = modifiers;
            cases.push_back(c);
        }
    }
    return cases;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CASES [GENERATED] [--detail] [--only I,J,...]\n", argv[0]);
        return 2;
    }
    std::size_t generated = 0;
    bool detail = false;
    std::set<std::size_t> only;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--detail") {
            detail = true;
        } else if (arg == "--only" && i + 1 < argc) {
            std::stringstream list(argv[++i]);
            for (std::string item; std::getline(list, item, ',');) only.insert(std::stoul(item));
        } else {
            generated = std::stoul(arg);
        }
    }

    std::vector<TCase> cases;
    std::ifstream in(argv[1]);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        TCase c;
        std::string pattern, subject;
        if (!(fields >> c.Modifiers >> pattern)) continue;
        c.Pattern = FromHex(pattern == "-" ? "" : pattern);
        while (fields >> subject) c.Subjects.push_back(FromHex(subject == "-" ? "" : subject));
        cases.push_back(c);
    }
    const std::vector<TCase> more = Generate(generated);
    cases.insert(cases.end(), more.begin(), more.end());

    std::string out;
    for (std::size_t index = 0; index < cases.size(); ++index) {
        if (!only.empty() && !only.count(index)) continue;
        const TCase &c = cases[index];
        TRegExpr re;
        bool compiled = false;
        const std::string compile = CompileRecord(re, c, compiled);
        const std::string match = compiled ? MatchRecord(re, c) : std::string("-");
        if (detail) {
            out += std::to_string(index) + " modifiers " + std::to_string(c.Modifiers) + " pattern " + Printable(c.Pattern) +
                   "\n  " + compile + "\n  " + match + "\n";
        } else {
            out += std::to_string(index) + " " + HashText(Fnv(compile)) + " " + HashText(Fnv(match)) + "\n";
        }
        if (out.size() > (1 << 20)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
