// Random well-typed expressions, printed with as few parentheses as the
// precedence allows (plus some spare ones, random case and blanks), checked
// against a direct evaluation of what was printed.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "support/expression_layout.h"
#include "symbase/cp1252.h"
#include "xbase/expression.h"
#include "xbase/result.h"

namespace xbase {
namespace {

// Binding strength of each printed form, loosest first.
enum Level { kOrLevel = 1, kAndLevel, kNotLevel, kRelationLevel, kConcatLevel, kPrimaryLevel };

// A random expression: its text, and its meaning on a record computed the
// plain way (a text's value, or a logical value).
struct Node {
  std::string printed;
  Level level = kPrimaryLevel;
  bool is_text = false;
  std::size_t width = 0;   // of a text's value
  std::size_t widest = 0;  // of any text value inside
  std::function<std::string(const std::string&)> value;
  std::function<bool(const std::string&)> truth;
};

// Equal: the right text is a beginning of the left one. Otherwise the usual
// byte order of std::string (unsigned) decides; `$`: left inside right.
bool Relate(const std::string& op, const std::string& left, const std::string& right) {
  if (op == "$") return left.empty() || right.find(left) != std::string::npos;
  const bool equal = left.compare(0, right.size(), right) == 0 && right.size() <= left.size();
  const bool less = !equal && left < right;
  if (op == "=") return equal;
  if (op == "<>" || op == "#") return !equal;
  if (op == "<") return less;
  if (op == "<=") return less || equal;
  if (op == ">") return !less && !equal;
  return !less;
}

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  Node Logical(int depth) {
    const int choice = depth <= 0 ? Pick(3) : Pick(7);
    Node n;
    if (choice == 0) {
      const bool value = Pick(2) == 1;
      n.printed = Case(value ? ".T." : ".F.");
      n.truth = [value](const std::string&) { return value; };
    } else if (choice == 1) {
      n.printed = Case("DELETED") + Blank() + "(" + Blank() + ")";
      n.truth = [](const std::string& record) { return record[0] == '*'; };
    } else if (choice <= 3) {
      static const char* const kRelations[] = {"=", "<>", "#", "<", "<=", ">", ">=", "$"};
      const std::string op = kRelations[Pick(8)];
      const std::vector<Node> kids = {Text(depth - 1), Text(depth - 1)};
      n = Join(kids, op, kConcatLevel, kRelationLevel);
      n.truth = [op, kids](const std::string& r) {
        return Relate(op, kids[0].value(r), kids[1].value(r));
      };
    } else if (choice == 4) {
      Node kid = Logical(depth - 1);
      n = kid;
      n.printed = Case(".NOT.") + " " + Operand(kid, kNotLevel);
      n.level = kNotLevel;
      n.truth = [kid](const std::string& r) { return !kid.truth(r); };
    } else {
      const bool both = choice == 5;
      std::vector<Node> kids(static_cast<std::size_t>(2 + Pick(3)));
      for (Node& kid : kids) kid = Logical(depth - 1);
      n = Join(kids, Case(both ? ".AND." : ".OR."), both ? kNotLevel : kAndLevel,
               both ? kAndLevel : kOrLevel);
      n.truth = [both, kids](const std::string& r) {
        for (const Node& kid : kids) {
          if (kid.truth(r) != both) return !both;
        }
        return both;
      };
    }
    return n;
  }

  Node Text(int depth) {
    const int choice = depth <= 0 ? Pick(2) : Pick(4);
    Node n;
    if (choice == 0) {
      const ExpressionField f = testing_support::MainLayout()[static_cast<std::size_t>(Pick(8))];
      n.printed = Case(f.name);
      n.width = f.width;
      n.value = [f](const std::string& r) { return r.substr(f.offset, f.width); };
    } else if (choice == 1) {
      std::string bytes = Bytes(Pick(7));
      // No quoting holds both quote characters.
      const bool apostrophe = bytes.find('\'') != std::string::npos;
      if (apostrophe) bytes.erase(std::remove(bytes.begin(), bytes.end(), '"'), bytes.end());
      const char quote = apostrophe ? '"' : '\'';
      n.printed = quote + bytes + quote;
      n.width = bytes.size();
      n.value = [bytes](const std::string&) { return bytes; };
    } else if (choice == 2) {
      std::vector<Node> kids(static_cast<std::size_t>(2 + Pick(2)));
      for (Node& kid : kids) kid = Text(depth - 1);
      n = Join(kids, "+", kPrimaryLevel, kConcatLevel);
      for (const Node& kid : kids) n.width += kid.width;
      n.value = [kids](const std::string& r) {
        std::string s;
        for (const Node& kid : kids) s += kid.value(r);
        return s;
      };
    } else {
      const Node kid = Text(depth - 1);
      n = kid;
      n.printed = Case("UPPER") + Blank() + "(" + kid.printed + ")";
      n.level = kPrimaryLevel;
      n.value = [kid](const std::string& r) {
        std::string s = kid.value(r);
        for (char& c : s)
          c = static_cast<char>(symbase::Cp1252ToUpper(static_cast<unsigned char>(c)));
        return s;
      };
    }
    n.is_text = true;
    n.widest = std::max(n.widest, n.width);
    return n;
  }

  // Few distinct bytes, so that comparisons and searches often hit.
  std::string Bytes(int length) {
    static const char kAlphabet[] = "MmVW0 1\xE9\xC9'\"";
    std::string s;
    for (int i = 0; i < length; ++i) s += kAlphabet[Pick(sizeof kAlphabet - 1)];
    return s;
  }

 private:
  std::string Operand(const Node& n, Level needed) {
    if (n.level < needed || Pick(10) == 0) return "(" + Blank() + n.printed + Blank() + ")";
    return n.printed;
  }

  // The kids joined by `separator`, each bracketed below `needed`.
  Node Join(const std::vector<Node>& kids, const std::string& separator, Level needed,
            Level level) {
    Node n;
    n.level = level;
    for (const Node& kid : kids) {
      n.printed += (n.printed.empty() ? "" : Blank() + separator + Blank()) + Operand(kid, needed);
      n.widest = std::max(n.widest, kid.widest);
    }
    return n;
  }

  std::string Case(std::string word) {
    for (char& c : word) {
      if (Pick(3) == 0 && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
    }
    return word;
  }

  std::string Blank() {
    static const char* const kBlanks[] = {"", " ", "  ", "\t"};
    return kBlanks[Pick(4)];
  }

  std::mt19937 random_;
};

std::vector<std::string> RandomRecords(Generator& generator) {
  std::vector<std::string> records;
  for (int i = 0; i < 12; ++i) {
    testing_support::MainRow row;
    for (std::string* field : {&row.objet, &row.ind1, &row.ind2, &row.ind3, &row.ind4, &row.repere,
                               &row.symbole, &row.iscmt}) {
      *field = generator.Bytes(generator.Pick(6));
    }
    row.deleted = generator.Pick(2) == 1;
    records.push_back(testing_support::MainRecord(row));
  }
  return records;
}

TEST(ExpressionRandom, AgreesWithDirectEvaluationOfThePrintedTree) {
  Generator generator(20240611);
  const std::vector<std::string> records = RandomRecords(generator);
  int parsed = 0;
  for (int round = 0; round < 3000; ++round) {
    const Node node = generator.Pick(4) == 0 ? generator.Text(4) : generator.Logical(5);
    if (node.printed.size() > 4096) continue;
    std::unique_ptr<Expression> expression;
    const int result = Expression::Parse(node.printed, testing_support::MainLayout(), &expression);
    if (node.widest > 1024) {
      EXPECT_EQ(result, kErrExpression) << node.printed;
      continue;
    }
    ASSERT_EQ(result, kOk) << node.printed;
    ++parsed;
    ASSERT_EQ(expression->type() == Expression::Type::kText, node.is_text) << node.printed;
    for (const std::string& record : records) {
      if (node.is_text) {
        const std::string expected = node.value(record);
        ASSERT_EQ(expression->width(), expected.size()) << node.printed;
        std::string out(expected.size() + 1, '\0');
        expression->Evaluate(record.data(), &out[0]);
        ASSERT_EQ(out.substr(0, expected.size()), expected) << node.printed;
      } else {
        ASSERT_EQ(expression->IsTrue(record.data()), node.truth(record)) << node.printed;
      }
    }
  }
  EXPECT_GT(parsed, 2500);
}

}  // namespace
}  // namespace xbase
