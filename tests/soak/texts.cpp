#include "texts.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::soak {

namespace {

std::string SmallInteger(Rng& rng) {
    return std::to_string(rng.between(-12, 12));
}

std::string WideInteger(Rng& rng) {
    // Values that make products and determinants leave 32 bits quickly.
    const int64_t magnitude = static_cast<int64_t>(rng.next() % 2147483647ULL) + 1;
    return std::to_string(rng.chance(50) ? -magnitude : magnitude);
}

const std::vector<std::string> kEdgeNumbers = {
    "2147483647",
    "-2147483647",
    "-2147483648",
    "2147483648",
    "99999999999",
    "-99999999999",
    "2147483647/2147483646",
    "-2147483648/2147483647",
    "-2147483648/-1",
    "1/-2147483648",
    "2147483647/-1",
    "$7FFFFFFF",
    "$80000000",
    "$FFFFFFFF",
    "-$7FFFFFFF",
    "-$80000000",
    "%1111",
    "%",
    "$",
    "$G",
    "46341",
    "65536",
    "65536/65537",
    "1/65536",
    "0/5",
    "-0",
    "+3",
    "007",
};

const std::vector<std::string> kJunk = {
    "abc", "1.5", "3/x",   "1/2/3", "3/", "/",   "-",  "--1", "1e5", "½",  "١٢", "ñ",   "0x10",
    "3 4", "- 3", "1/ /2", "∞",     "€",  "NaN", "\t", " / ", "1,5", "=1", "J",  "(1)", "😀",
};

// Cells of a system with the parameter a, read or refused (only the system
// window takes them; elsewhere they are junk).
const std::vector<std::string> kPolynomials = {
    "a",    "-a",           "2a", "a+1",    "1-a", "a^2", "a^2-1",   "(a+1)/2",
    "2/3a", "3a^2 - a + 1", "A",  "a^4-2a", "1/a", "a^5", "(a+1)^2", "2147483647a^4+1",
};

const std::vector<std::string> kZeroDenominators = {"1/0", "0/0", "7/ 0", "-3/0", "$1/0"};

}  // namespace

std::string NumberText(Rng& rng) {
    switch (rng.below(13)) {
        case 0:
        case 1:
        case 2:
            return SmallInteger(rng);
        case 3:
        case 4: {
            std::string den = std::to_string(rng.between(-9, 9));
            if (den == "0") den = "1";
            return SmallInteger(rng) + "/" + den;
        }
        case 5: {
            // Blanks and tabs around the parts.
            const char* around[] = {"", " ", "  ", "\t"};
            return std::string(around[rng.below(4)]) + SmallInteger(rng) + around[rng.below(4)] +
                   (rng.chance(50) ? "/" + std::string(around[rng.below(4)]) +
                                         std::to_string(rng.between(1, 9)) + around[rng.below(4)]
                                   : std::string());
        }
        case 6:
            return rng.pick(kEdgeNumbers);
        case 7:
            return WideInteger(rng) + (rng.chance(50) ? "/" + WideInteger(rng) : std::string());
        case 8:
            return rng.pick(kJunk);
        case 9:
            return rng.pick(kZeroDenominators);
        case 11:
            return rng.pick(kPolynomials);
        case 10:
            return rng.chance(50) ? std::string()
                                  : std::string(static_cast<std::size_t>(rng.between(1, 3)), ' ');
        default:
            return std::to_string(rng.between(-1000, 1000)) + "/" +
                   std::to_string(rng.between(1, 1000));
    }
}

std::string PasteText(Rng& rng) {
    if (rng.chance(60)) return NumberText(rng);
    std::string text;
    const int pieces = rng.chance(20) ? rng.between(1000, 5000) : rng.between(2, 60);
    for (int k = 0; k < pieces; ++k) {
        switch (rng.below(6)) {
            case 0:
                text += NumberText(rng);
                break;
            case 1:
                text +=
                    rng.pick(std::vector<std::string>{"\t", " ", ";", ",", "\n", "\r\n", "[", "]"});
                break;
            case 2:
                text += std::string(static_cast<std::size_t>(rng.between(1, 60)), '9');
                break;
            case 3:
                text += rng.pick(kJunk);
                break;
            case 4:
                text += "𝔐𝔞𝔱𝔯𝔦𝔷";  // outside the Basic Multilingual Plane
                break;
            default:
                text += SmallInteger(rng);
                break;
        }
    }
    return text;
}

std::string ExpressionText(Rng& rng) {
    // A random tree, rendered with the grammar's operators.
    struct Builder {
        Rng& rng;
        std::string primary(int depth) {
            if (depth > 0 && rng.chance(30)) return "(" + expression(depth - 1) + ")";
            // J..W, mostly the first few (which the store is likelier to hold).
            const int k = rng.chance(70) ? rng.below(4) : rng.below(16);
            char c = static_cast<char>('J' + k);
            if (rng.chance(10)) c = static_cast<char>(c - 'A' + 'a');
            return std::string(1, c);
        }
        std::string power(int depth) {
            std::string p = primary(depth);
            if (rng.chance(15)) {
                const char* exponents[] = {"0",          "1",   "2",  "3",   "5",
                                           "$A",         "%11", "31", "100", "2147483647",
                                           "2147483648", "-1",  "x"};
                p += "^" + std::string(exponents[rng.below(13)]);
            }
            return p;
        }
        std::string factor(int depth) { return (rng.chance(15) ? "-" : "") + power(depth); }
        std::string term(int depth) {
            std::string t = factor(depth);
            while (rng.chance(30)) t += "*" + factor(depth);
            return t;
        }
        std::string expression(int depth) {
            std::string e = term(depth);
            while (rng.chance(35)) e += (rng.chance(50) ? "+" : "-") + term(depth);
            return e;
        }
    };
    Builder b{rng};
    std::string e = b.expression(3);
    switch (rng.below(10)) {
        case 0: {
            // A character put in, taken out or doubled somewhere.
            const std::size_t at =
                static_cast<std::size_t>(rng.below(static_cast<int>(e.size()) + 1));
            const char* noise[] = {"+", "-", "*", "^", "(", ")", " ", "2", "--", "A", "ñ"};
            e.insert(at, noise[rng.below(11)]);
            break;
        }
        case 1:
            if (!e.empty())
                e.erase(static_cast<std::size_t>(rng.below(static_cast<int>(e.size()))), 1);
            break;
        case 2:
            while (e.size() < 300) e += "+" + b.term(1);
            break;
        default:
            break;
    }
    return e;
}

std::string CommentText(Rng& rng) {
    switch (rng.below(8)) {
        case 0:
            return {};
        case 1:
            return "sistema " + std::to_string(rng.below(1000));
        case 2:
            return "Ecuación nº " + std::to_string(rng.below(100)) + " — año € ½";
        case 3: {
            std::string s;
            const int n = rng.between(60, 90);
            for (int k = 0; k < n; ++k) s += static_cast<char>('a' + rng.below(26));
            return s;
        }
        case 4:
            return "no cabe: " + rng.pick(std::vector<std::string>{"😀", "Ω", "→", "中文", "ł"});
        case 5:
            return std::string(70, 'n') + "ñ";
        case 6:
            return "  ";
        default:
            return rng.pick(
                std::vector<std::string>{"a", "prueba", "ÁÉÍÓÚ üñ ç", "x = y", "\"q\""});
    }
}

std::string UtilityFieldText(Rng& rng, int field) {
    switch (field) {
        case 0:  // name
            return rng.pick(std::vector<std::string>{"", "Bloc", "Ayuda", "Gráficas", "zz nombre",
                                                     "Útil €", "😀 no cabe", std::string(300, 'z')});
        case 1:  // file: scratch files that are not programs, missing ones, addresses
            return rng.pick(std::vector<std::string>{
                "", "datos.txt", "zz-nada.txt", "Velmora.pdf", "zz con blancos.txt", "carpeta.sts",
                "https://orbenit.example/zz", "mailto:zz@orbenit.example"});
        case 2:  // working directory
            return rng.pick(
                std::vector<std::string>{"", "", "sub", "zz-falta", "carpeta.sts", "ñ zz"});
        default:  // parameters: kept, never passed
            return rng.pick(
                std::vector<std::string>{"", "-p", "zz uno dos", "€", std::string(256, 'p')});
    }
}

std::string JunkBytes(Rng& rng) {
    std::string bytes;
    const int n = rng.chance(30) ? 890 * rng.between(1, 4) : rng.between(0, 3000);
    bytes.reserve(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        // Mostly small values, as records hold, with some of every kind.
        bytes += static_cast<char>(rng.chance(70) ? rng.below(5) : rng.below(256));
    }
    return bytes;
}

}  // namespace velmora::soak
