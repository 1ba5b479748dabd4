// reference_test.cpp - docs/reference.md describes every procedure a
// student can call at the prompt (the primitives and the definitions of
// the init file) and every special form, and nothing that does not exist.
#include <cstdio>
#include <fstream>
#include <set>
#include <string>

#include "eval/readeval.h"
#include "platform/file_guard.h"
#include "primitives/prim_support.h"

using namespace primtest;

namespace {

using Reference = Prims;

// A global procedure: a primitive or closure, or a reference to the name
// of one (a definition such as (define k car) holds the name car).
bool names_procedure(Value sym) {
  for (int hops = 0; hops < 100; ++hops) {
    Value v = cell(sym).w1;
    if (v == 0) return false;
    if (is(v, PRIMITIVE) || is(v, CLOSURE)) return true;
    if (type_of(v) == NAMED_PROCEDURE) v = cell(v).w1;
    if (type_of(v) != SYMBOL) return false;
    sym = v;
  }
  return false;
}

// The name of each row "| `(name ...` of the document, procedures and
// special forms apart (the forms are the rows under "## Special forms").
void documented(std::set<std::string>& procs, std::set<std::string>& forms) {
  std::ifstream doc(ONDREL_SOURCE_DIR "/docs/reference.md");
  ASSERT_TRUE(doc) << "docs/reference.md";
  bool in_forms = false;
  for (std::string line; std::getline(doc, line);) {
    if (line.rfind("## ", 0) == 0) in_forms = line == "## Special forms";
    if (line.rfind("| `(", 0) != 0) continue;
    std::string name = line.substr(4, line.find_first_of(" )`", 4) - 4);
    EXPECT_TRUE((in_forms ? forms : procs).insert(name).second) << name << " is documented twice";
  }
}

TEST_F(Reference, NamesEveryProcedureAndSpecialFormDefinedAtStartUp) {
  FileGuard init(std::fopen(ONDREL_SOURCE_DIR "/lib/include.sc", "r"));
  ASSERT_NE(init.fp, nullptr);
  ev_read_eval(ReadEval{init.fp, NIL, false, false, false});
  std::set<std::string> procs, forms;
  for (Value bucket : roots.symtab)
    for (Value l = bucket; l != NIL; l = cdr(l)) {
      Value sym = car(l);
      if (type_of(sym) == KEYWORD) forms.insert(sym_name(sym));
      if (type_of(sym) == SYMBOL && names_procedure(sym)) procs.insert(sym_name(sym));
    }
  std::set<std::string> doc_procs, doc_forms;
  documented(doc_procs, doc_forms);
  for (const std::string& p : procs) EXPECT_TRUE(doc_procs.count(p)) << p << " is not in the reference";
  for (const std::string& p : doc_procs) EXPECT_TRUE(procs.count(p)) << p << " is documented but not defined";
  EXPECT_EQ(doc_forms, forms);
}

}  // namespace
