#include "dataset.h"

#include <algorithm>
#include <cstdio>
#include <random>

namespace api_bench {
namespace {

constexpr int kProbes = 100000;
constexpr int kPrefixes = 500;
// Windows-1252, as the base holds texts.
const char* const kWords[] = {"pompe",
                              "vanne",
                              "moteur",
                              "capteur",
                              "seuil",
                              "alarme",
                              "niveau",
                              "pression",
                              "d\xe9"
                              "bit",
                              "cuve",
                              "arr\xeat",
                              "marche",
                              "d\xe9"
                              "faut",
                              "tempo",
                              "compteur",
                              "consigne"};
constexpr int kWordCount = sizeof(kWords) / sizeof(kWords[0]);

std::string Padded(const std::string& text, std::size_t width) {
  std::string s = text.substr(0, width);
  s.resize(width, ' ');
  return s;
}

std::string Digits(long value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*ld", width, value);
  return text;
}

// Index fields hold five digits: a kind that outgrows them goes on in the
// next family of its kind (%MW99999, then %MD0), so every address has a key
// of its own at any size.
constexpr long kIndexLimit = 100000;
const char* const kWordFamilies[] = {"MW", "MD", "MF", "MB", "SW", "SD"};
const char* const kConstantFamilies[] = {"KW", "KD", "KF", "KB"};

template <std::size_t N>
std::string FamilyOf(const char* const (&families)[N], long n) {
  return families[std::min<std::size_t>(static_cast<std::size_t>(n / kIndexLimit), N - 1)];
}

// A plain object of family `letters` numbered n.
void Plain(const std::string& letters, long n, Item* item) {
  item->address = "%" + letters + std::to_string(n);
  item->key = Padded(letters, 5) + Digits(n, 5) + Padded("", 12);
}

// One address of kind `kind` numbered n, with its key.
Item Address(int kind, long n) {
  Item item;
  switch (kind) {
    case 0: {  // words, 40 %: only the %MW ones are listed and counted as such
      const std::string letters = FamilyOf(kWordFamilies, n);
      Plain(letters, n % kIndexLimit, &item);
      item.word = item.mw = letters == "MW";
      break;
    }
    case 1:  // bits of words, 10 %
      item.address = "%MW" + std::to_string(n / 16) + ":X" + std::to_string(n % 16);
      item.key = Padded("MWX", 5) + Digits(n / 16, 5) + Digits(n % 16, 5) + Padded("", 7);
      item.mw = true;
      break;
    case 2:  // constants, 20 %
      Plain(FamilyOf(kConstantFamilies, n), n % kIndexLimit, &item);
      break;
    default: {  // inputs and outputs of modules 1 to 9, 30 %
      const bool input = kind == 3;
      const long module = 1 + n % 9, channel = n / 9;
      item.address = (input ? "%I" : "%Q") + std::to_string(module) + "." + std::to_string(channel);
      item.key = Padded(input ? "VIX" : "VQX", 5) + Digits(module, 5) + Digits(channel, 5) +
                 Digits(0, 5) + Padded("", 2);
      break;
    }
  }
  return item;
}

int KindOf(std::mt19937& random) {
  const unsigned roll = random() % 10;
  if (roll < 4) return 0;
  if (roll < 5) return 1;
  if (roll < 7) return 2;
  return roll < 9 ? 3 : 4;
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return text;
}

}  // namespace

Dataset MakeDataset(long count, unsigned seed) {
  Dataset data;
  std::mt19937 random(seed);
  long next[5] = {0, 0, 0, 0, 0};
  data.items.reserve(static_cast<std::size_t>(count));
  for (long i = 0; i < count; ++i) {
    const int kind = KindOf(random);
    Item item = Address(kind, next[kind]++);
    // Symbols: a letter, six digits of a scrambled number, the kind: unique.
    const unsigned long scrambled = (static_cast<unsigned long>(i) * 2654435761ul) % 100000000ul;
    item.symbol = std::string(1, static_cast<char>('A' + i % 26)) +
                  Digits(static_cast<long>(scrambled), 8) + "_" + std::to_string(kind);
    if (random() % 3 == 0) {
      item.comment = std::string(kWords[random() % kWordCount]) + " " +
                     std::string(kWords[random() % kWordCount]) + " n" + std::to_string(i % 997);
    }
    data.words += item.word;
    data.mws += item.mw;
    data.items.push_back(std::move(item));
  }
  for (std::size_t i = 0; i < data.items.size(); ++i) data.by_address[data.items[i].address] = i;
  const std::size_t probes = std::min<std::size_t>(kProbes, data.items.size());
  for (std::size_t i = 0; i < probes; ++i) data.probes.push_back(random() % data.items.size());
  // Prefixes of four characters: a letter and the first three digits.
  for (int p = 0; p < kPrefixes; ++p) {
    data.prefixes.push_back(std::string(1, static_cast<char>('A' + p % 26)) +
                            Digits(random() % 1000, 3));
  }
  data.comment_texts = {"POMPE", "n17", "arr\xeat d",
                        "d\xe9"
                        "faut",
                        "vanne vanne"};
  std::vector<std::string> symbols;
  for (const Item& item : data.items) symbols.push_back(item.symbol);
  std::sort(symbols.begin(), symbols.end());
  for (const std::string& prefix : data.prefixes) {
    const auto first = std::lower_bound(symbols.begin(), symbols.end(), prefix);
    auto last = first;
    while (last != symbols.end() && last->compare(0, prefix.size(), prefix) == 0) ++last;
    data.prefix_matches.push_back(static_cast<long>(last - first));
  }
  data.comment_matches.assign(data.comment_texts.size(), 0);
  for (const Item& item : data.items) {
    if (item.comment.empty()) continue;
    const std::string comment = Upper(item.comment);
    for (std::size_t t = 0; t < data.comment_texts.size(); ++t) {
      if (comment.find(Upper(data.comment_texts[t])) != std::string::npos) {
        ++data.comment_matches[t];
      }
    }
  }
  return data;
}

}  // namespace api_bench
