#include "core/check/claims.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "core/check/row_space.h"
#include "core/systems/general_solution.h"
#include "core/toolkit/strings.h"

namespace velmora {

namespace {

std::string Lower(std::string_view s) {
    std::string t(s);
    for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return t;
}

bool IsLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

// `s` from `at` starts with the word `w` (not with a longer word).
bool WordAt(std::string_view s, std::size_t at, std::string_view w) {
    return s.substr(at, w.size()) == w &&
           (at + w.size() >= s.size() || !IsLetter(s[at + w.size()]));
}

void Blanks(std::string_view s, std::size_t& at) {
    while (at < s.size() && (s[at] == ' ' || s[at] == '\t')) ++at;
}

bool Eat(std::string_view s, std::size_t& at, std::string_view token) {
    Blanks(s, at);
    if (s.substr(at, token.size()) != token) return false;
    at += token.size();
    return true;
}

// "rango A' =", "rg(A) =", "rango =": the matrix a rank is given for.
bool RankName(std::string_view s, std::size_t& at, Claim::Of& of) {
    Blanks(s, at);
    std::size_t word = 0;
    for (const std::string_view w : {"rango", "rang", "rg"})
        if (word == 0 && WordAt(s, at, w)) word = w.size();
    if (word == 0) return false;
    at += word;
    const bool bracket = Eat(s, at, "(");
    of = Claim::Of::Matrix;
    if (Eat(s, at, "a")) {
        of = Claim::Of::Coefficients;
        for (const std::string_view prime : {"'", "’", "´"})
            if (of == Claim::Of::Coefficients && Eat(s, at, prime)) of = Claim::Of::Augmented;
    }
    return (!bracket || Eat(s, at, ")")) && Eat(s, at, "=");
}

// One part of a line of ranks: names and "=" in a chain, then the rank.
bool ReadRanks(std::string_view part, Claim& claim) {
    claim.kind = Claim::Kind::Rank;
    std::size_t at = 0;
    Claim::Of of;
    while (RankName(part, at, of)) claim.of.push_back(of);
    Blanks(part, at);
    const std::size_t from = at;
    while (at < part.size() && std::isdigit(static_cast<unsigned char>(part[at]))) ++at;
    if (claim.of.empty() || at == from || at - from > 2) return false;
    claim.rank = std::stoi(std::string(part.substr(from, at - from)));
    Blanks(part, at);
    return at == part.size();
}

// "x = 1, y = 2 - λ": each unknown (x, y, z, t) starts a value.
bool ReadSolution(std::string_view text, Claim& claim) {
    claim.kind = Claim::Kind::Solution;
    const std::string_view names = "xyzt";
    std::size_t at = 0;
    Blanks(text, at);
    while (at < text.size()) {
        const std::size_t unknown = names.find(text[at]);
        if (unknown == std::string_view::npos) return false;
        ++at;
        if (!Eat(text, at, "=")) return false;
        const std::size_t end = std::min(text.size(), text.find_first_of(names, at));
        std::string value = Trim(text.substr(at, end - at));
        while (!value.empty() && (value.back() == ',' || value.back() == ';')) value.pop_back();
        LinearExpression e;
        if (!ReadLinearExpression(value, ReadParameterSymbol, e) || e.dividesByZero) return false;
        claim.values.emplace_back(static_cast<int>(unknown) + 1, std::move(e));
        at = end;
    }
    return !claim.values.empty();
}

// A line of words of a verdict only: "sistema compatible determinado",
// "S.C.D.", "INCOMPATIBLE", "El sistema es compatible indeterminado (S.C.I.)".
bool ReadVerdict(const std::string& lower, Claim& claim) {
    static const std::set<std::string> kWords{
        "sistema",       "el",  "es",  "compatible", "incompatible", "determinado",
        "indeterminado", "scd", "sci", "si"};
    std::set<std::string> words;
    std::string word;
    for (std::size_t i = 0; i <= lower.size(); ++i) {
        const char c = i < lower.size() ? lower[i] : ' ';
        if (c == '.') continue;  // "s.c.d." is one word
        if (IsLetter(c)) {
            word += c;
            continue;
        }
        if (c != ' ' && c != '\t' && c != '(' && c != ')' && c != ':' && c != ',') return false;
        if (word.empty()) continue;
        if (kWords.count(word) == 0) return false;
        words.insert(word);
        word.clear();
    }
    const auto has = [&](const char* w) { return words.count(w) > 0; };
    claim.kind = Claim::Kind::Verdict;
    if (has("incompatible") || has("si")) {
        claim.verdict = Claim::Verdict::Incompatible;
    } else if (has("indeterminado") || has("sci")) {
        claim.verdict = Claim::Verdict::Undetermined;
    } else if (has("determinado") || has("scd")) {
        claim.verdict = Claim::Verdict::Determined;
    } else if (has("compatible")) {
        claim.verdict = Claim::Verdict::Compatible;
    } else {
        return false;
    }
    return true;
}

// "x = ...": an unknown and "=".
bool IsValueStart(std::string_view text) {
    std::size_t at = 1;
    return !text.empty() && std::string_view("xyzt").find(text[0]) != std::string_view::npos &&
           Eat(text, at, "=");
}

}  // namespace

ClaimLine ReadClaimLine(std::string_view line, std::vector<Claim>& claims) {
    const std::string text = Trim(line);
    const std::string lower = Lower(text);
    if (lower.rfind("para todo", 0) == 0) return ClaimLine::Ignored;
    std::vector<Claim> read;
    if (WordAt(lower, 0, "rango") || WordAt(lower, 0, "rang") || WordAt(lower, 0, "rg")) {
        for (const std::string_view part : SplitAt(lower, ",")) {
            for (const std::string_view piece : SplitAt(part, ";")) {
                if (!ReadRanks(piece, read.emplace_back())) return ClaimLine::Unreadable;
            }
        }
    } else if (lower.rfind("solución", 0) == 0 || lower.rfind("solucion", 0) == 0 ||
               IsValueStart(text)) {
        // "Solución general: x = 1 - 2λ, y = λ; para todo λ"
        std::size_t at = IsValueStart(text) ? 0 : lower.find_first_of(" :\t");
        at = std::min(at, lower.size());
        if (Eat(lower, at, "general")) Eat(lower, at, ":");
        Eat(lower, at, ":");
        const std::size_t end = std::min(lower.size(), lower.find("para todo"));
        if (!ReadSolution(std::string_view(text).substr(at, end - at), read.emplace_back()))
            return ClaimLine::Unreadable;
    } else if (!ReadVerdict(lower, read.emplace_back())) {
        return ClaimLine::None;
    }
    claims = std::move(read);
    return ClaimLine::Claims;
}

namespace {

// x_j(params) = constant + sum of coefficient k · parameter k, for j = 1..n.
struct Values {
    std::vector<mpq_class> constant;
    std::vector<std::vector<mpq_class>> direction;  // [j][k], k over `used`
    std::vector<int> used;                          // parameters with a coefficient
};

Values ValuesOf(const Claim& claim, int n) {
    Values v;
    std::set<int> used;
    for (const auto& [j, e] : claim.values)
        for (const auto& [k, c] : e.terms)
            if (sgn(c) != 0) used.insert(k);
    v.used.assign(used.begin(), used.end());
    v.constant.assign(static_cast<std::size_t>(n), mpq_class(0));
    v.direction.assign(static_cast<std::size_t>(n), std::vector<mpq_class>(v.used.size()));
    for (const auto& [j, e] : claim.values) {
        v.constant[static_cast<std::size_t>(j - 1)] = e.constant;
        for (std::size_t k = 0; k < v.used.size(); ++k)
            v.direction[static_cast<std::size_t>(j - 1)][k] = e.Coefficient(v.used[k]);
    }
    return v;
}

void CheckSolution(const Claim& claim, const RationalRows& a, ClaimCheck& r) {
    const int n = r.unknowns;
    std::vector<int> named;
    for (const auto& value : claim.values) named.push_back(value.first);
    std::sort(named.begin(), named.end());
    std::vector<int> all(static_cast<std::size_t>(n));
    for (int j = 1; j <= n; ++j) all[static_cast<std::size_t>(j - 1)] = j;
    if (named != all) {
        r.fault = ClaimCheck::Fault::Unknowns;
        return;
    }
    const Values v = ValuesOf(claim, n);
    if (r.rankCoefficients == n) {
        const GeneralSolution s = SolveGeneral(a);
        for (int j = 1; j <= n; ++j) {
            const std::size_t i = static_cast<std::size_t>(j - 1);
            const bool parameter = std::any_of(v.direction[i].begin(), v.direction[i].end(),
                                               [](const mpq_class& c) { return sgn(c) != 0; });
            if (parameter || v.constant[i] != s.values[i].constant)
                r.rightValues.emplace_back(j, s.values[i].constant);
        }
        if (!r.rightValues.empty()) r.fault = ClaimCheck::Fault::WrongValues;
        return;
    }
    // Each equation holds for every value of the parameters.
    for (std::size_t i = 0; i < a.size(); ++i) {
        mpq_class lhs = -a[i][static_cast<std::size_t>(n)];
        std::vector<mpq_class> terms(v.used.size());
        for (std::size_t j = 0; j < static_cast<std::size_t>(n); ++j) {
            lhs += a[i][j] * v.constant[j];
            for (std::size_t k = 0; k < v.used.size(); ++k) terms[k] += a[i][j] * v.direction[j][k];
        }
        terms.push_back(lhs);
        if (!IsZeroRow(terms)) {
            r.fault = ClaimCheck::Fault::NotSatisfied;
            r.equation = static_cast<int>(i) + 1;
            return;
        }
    }
    r.parameters = n - r.rankCoefficients;
    if (static_cast<int>(v.used.size()) != r.parameters) {
        r.fault = ClaimCheck::Fault::Parameters;
        return;
    }
    // The parameters' columns must be independent.
    RationalRows columns(v.used.size());
    for (std::size_t k = 0; k < v.used.size(); ++k)
        for (std::size_t j = 0; j < static_cast<std::size_t>(n); ++j)
            columns[k].push_back(v.direction[j][k]);
    if (SpaceOf(columns).Dimension() < r.parameters) r.fault = ClaimCheck::Fault::NotIndependent;
}

}  // namespace

ClaimCheck CheckClaim(const Claim& claim, const Matrix& start) {
    ClaimCheck r;
    const RationalRows a = ToRationalRows(start);
    RationalRows coefficients = a;
    for (RationalRow& row : coefficients) row.pop_back();
    r.rankAugmented = SpaceOf(a).Dimension();
    r.unknowns = start.cols - 1;
    const bool system = start.cols >= 2;
    r.rankCoefficients = system ? SpaceOf(coefficients).Dimension() : 0;
    const bool compatible = r.rankCoefficients == r.rankAugmented;
    r.verdict = !compatible                        ? Claim::Verdict::Incompatible
                : r.rankCoefficients == r.unknowns ? Claim::Verdict::Determined
                                                   : Claim::Verdict::Undetermined;
    if (claim.kind == Claim::Kind::Rank) {
        for (const Claim::Of of : claim.of) {
            if (of == Claim::Of::Coefficients && !system) r.fault = ClaimCheck::Fault::NotASystem;
            const int right = of == Claim::Of::Coefficients ? r.rankCoefficients : r.rankAugmented;
            if (r.Right() && right != claim.rank) r.fault = ClaimCheck::Fault::WrongRank;
        }
        return r;
    }
    if (!system) {
        r.fault = ClaimCheck::Fault::NotASystem;
    } else if (claim.kind == Claim::Kind::Verdict) {
        const bool right =
            claim.verdict == Claim::Verdict::Compatible ? compatible : claim.verdict == r.verdict;
        if (!right) r.fault = ClaimCheck::Fault::WrongVerdict;
    } else if (!compatible) {
        r.fault = ClaimCheck::Fault::NoSolution;
    } else {
        CheckSolution(claim, a, r);
    }
    return r;
}

}  // namespace velmora
