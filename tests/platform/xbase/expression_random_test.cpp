// Random well-typed expressions, printed with as few parentheses as the
// precedence allows (plus some spare ones, random case and blanks), checked
// against a direct evaluation of the tree they were printed from.

#include <gtest/gtest.h>

#include <algorithm>
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

// Texts first, then logical values.
enum class Kind {
  kField,
  kLiteral,
  kConcat,
  kUpper,
  kConstant,
  kDeleted,
  kRelation,
  kNot,
  kAnd,
  kOr
};

// Binding strength of each printed form, loosest first.
enum Level { kOrLevel = 1, kAndLevel, kNotLevel, kRelationLevel, kConcatLevel, kPrimaryLevel };

const char* const kRelations[] = {"=", "<>", "#", "<", "<=", ">", ">=", "$"};

struct Tree {
  Kind kind = Kind::kConstant;
  std::string text;  // field name or literal bytes
  int relation = 0;  // index into kRelations
  bool value = false;
  std::vector<Tree> kids;
};

bool IsText(const Tree& t) { return t.kind <= Kind::kUpper; }

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  Tree Logical(int depth) {
    Tree t;
    const int choice = depth <= 0 ? Pick(3) : Pick(7);
    if (choice == 0) {
      t.kind = Kind::kConstant;
      t.value = Pick(2) == 1;
    } else if (choice == 1) {
      t.kind = Kind::kDeleted;
    } else if (choice == 2 || choice == 3) {
      t.kind = Kind::kRelation;
      t.relation = Pick(8);
      t.kids = {Text(depth - 1), Text(depth - 1)};
    } else if (choice == 4) {
      t.kind = Kind::kNot;
      t.kids = {Logical(depth - 1)};
    } else {
      t.kind = choice == 5 ? Kind::kAnd : Kind::kOr;
      const int n = 2 + Pick(3);
      for (int i = 0; i < n; ++i) t.kids.push_back(Logical(depth - 1));
    }
    return t;
  }

  Tree Text(int depth) {
    Tree t;
    const int choice = depth <= 0 ? Pick(2) : Pick(4);
    if (choice == 0) {
      t.kind = Kind::kField;
      t.text = kFieldNames[Pick(8)];
    } else if (choice == 1) {
      t.kind = Kind::kLiteral;
      t.text = Bytes(Pick(7));
      // No quoting holds both quote characters.
      if (t.text.find('\'') != std::string::npos) {
        t.text.erase(std::remove(t.text.begin(), t.text.end(), '"'), t.text.end());
      }
    } else if (choice == 2) {
      t.kind = Kind::kConcat;
      const int n = 2 + Pick(2);
      for (int i = 0; i < n; ++i) t.kids.push_back(Text(depth - 1));
    } else {
      t.kind = Kind::kUpper;
      t.kids = {Text(depth - 1)};
    }
    return t;
  }

  // Few distinct bytes, so that comparisons and searches often hit.
  std::string Bytes(int length) {
    static const char kAlphabet[] = "MmVW0 1\xE9\xC9'\"";
    std::string s;
    for (int i = 0; i < length; ++i) s += kAlphabet[Pick(sizeof kAlphabet - 1)];
    return s;
  }

  std::string Print(const Tree& t) {
    switch (t.kind) {
      case Kind::kField:
        return Case(t.text);
      case Kind::kLiteral: {
        const char quote = t.text.find('\'') == std::string::npos ? '\'' : '"';
        return quote + t.text + quote;
      }
      case Kind::kConcat:
        return Join(t, "+", kPrimaryLevel);
      case Kind::kUpper:
        return Case("UPPER") + Blank() + "(" + Print(t.kids[0]) + ")";
      case Kind::kConstant:
        return Case(t.value ? ".T." : ".F.");
      case Kind::kDeleted:
        return Case("DELETED") + Blank() + "(" + Blank() + ")";
      case Kind::kRelation:
        return Operand(t.kids[0], kConcatLevel) + Blank() + kRelations[t.relation] + Blank() +
               Operand(t.kids[1], kConcatLevel);
      case Kind::kNot:
        return Case(".NOT.") + " " + Operand(t.kids[0], kNotLevel);
      case Kind::kAnd:
        return Join(t, Case(".AND."), kNotLevel);
      case Kind::kOr:
        return Join(t, Case(".OR."), kAndLevel);
    }
    return "";
  }

 private:
  static constexpr const char* kFieldNames[] = {"OBJET", "IND1",   "IND2",    "IND3",
                                                "IND4",  "REPERE", "SYMBOLE", "ISCMT"};

  // By Kind, in its order.
  static Level LevelOf(Kind kind) {
    static const Level kLevels[] = {kPrimaryLevel, kPrimaryLevel, kConcatLevel,   kPrimaryLevel,
                                    kPrimaryLevel, kPrimaryLevel, kRelationLevel, kNotLevel,
                                    kAndLevel,     kOrLevel};
    return kLevels[static_cast<int>(kind)];
  }

  std::string Operand(const Tree& t, Level needed) {
    const std::string printed = Print(t);
    if (LevelOf(t.kind) < needed || Pick(10) == 0) return "(" + Blank() + printed + Blank() + ")";
    return printed;
  }

  std::string Join(const Tree& t, const std::string& separator, Level needed) {
    std::string s = Operand(t.kids[0], needed);
    for (std::size_t i = 1; i < t.kids.size(); ++i) {
      s += Blank() + separator + Blank() + Operand(t.kids[i], needed);
    }
    return s;
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

// The meaning of a tree, computed the plain way.
class Reference {
 public:
  explicit Reference(const std::string& record) : record_(record) {}

  std::string Text(const Tree& t) const {
    switch (t.kind) {
      case Kind::kField:
        for (const ExpressionField& f : testing_support::MainLayout()) {
          if (f.name == t.text) return record_.substr(f.offset, f.width);
        }
        return "";
      case Kind::kLiteral:
        return t.text;
      case Kind::kConcat: {
        std::string s;
        for (const Tree& kid : t.kids) s += Text(kid);
        return s;
      }
      default: {
        std::string s = Text(t.kids[0]);
        for (char& c : s)
          c = static_cast<char>(symbase::Cp1252ToUpper(static_cast<unsigned char>(c)));
        return s;
      }
    }
  }

  bool Truth(const Tree& t) const {
    switch (t.kind) {
      case Kind::kConstant:
        return t.value;
      case Kind::kDeleted:
        return record_[0] == '*';
      case Kind::kNot:
        return !Truth(t.kids[0]);
      case Kind::kAnd:
        for (const Tree& kid : t.kids) {
          if (!Truth(kid)) return false;
        }
        return true;
      case Kind::kOr:
        for (const Tree& kid : t.kids) {
          if (Truth(kid)) return true;
        }
        return false;
      default:
        return Relate(t.relation, Text(t.kids[0]), Text(t.kids[1]));
    }
  }

 private:
  static bool Relate(int relation, const std::string& left, const std::string& right) {
    const std::string op = kRelations[relation];
    if (op == "$") return left.empty() || right.find(left) != std::string::npos;
    // Equal: the right text is a beginning of the left one. Otherwise the
    // usual byte order of std::string (unsigned) decides.
    const bool equal = left.compare(0, right.size(), right) == 0 && right.size() <= left.size();
    const bool less = !equal && left < right;
    if (op == "=") return equal;
    if (op == "<>" || op == "#") return !equal;
    if (op == "<") return less;
    if (op == "<=") return less || equal;
    if (op == ">") return !less && !equal;
    return !less;
  }

  const std::string& record_;
};

std::size_t WidestText(const Tree& t, const Reference& reference) {
  std::size_t widest = IsText(t) ? reference.Text(t).size() : 0;
  for (const Tree& kid : t.kids) widest = std::max(widest, WidestText(kid, reference));
  return widest;
}

std::vector<std::string> RandomRecords(Generator& generator) {
  std::vector<std::string> records;
  for (int i = 0; i < 12; ++i) {
    testing_support::MainRow row;
    std::string* fields[] = {&row.objet, &row.ind1,   &row.ind2,    &row.ind3,
                             &row.ind4,  &row.repere, &row.symbole, &row.iscmt};
    for (std::string* field : fields) *field = generator.Bytes(generator.Pick(6));
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
    const Tree tree = generator.Pick(4) == 0 ? generator.Text(4) : generator.Logical(5);
    const std::string printed = generator.Print(tree);
    if (printed.size() > 4096) continue;
    std::unique_ptr<Expression> expression;
    const int result = Expression::Parse(printed, testing_support::MainLayout(), &expression);
    if (WidestText(tree, Reference(records[0])) > 1024) {
      EXPECT_EQ(result, kErrExpression) << printed;
      continue;
    }
    ASSERT_EQ(result, kOk) << printed;
    ++parsed;
    ASSERT_EQ(expression->type() == Expression::Type::kText, IsText(tree)) << printed;
    for (const std::string& record : records) {
      const Reference reference(record);
      if (IsText(tree)) {
        const std::string expected = reference.Text(tree);
        ASSERT_EQ(expression->width(), expected.size()) << printed;
        std::string out(expected.size() + 1, '\0');
        expression->Evaluate(record.data(), &out[0]);
        ASSERT_EQ(out.substr(0, expected.size()), expected) << printed;
      } else {
        ASSERT_EQ(expression->IsTrue(record.data()), reference.Truth(tree)) << printed;
      }
    }
  }
  EXPECT_GT(parsed, 2500);
}

}  // namespace
}  // namespace xbase
