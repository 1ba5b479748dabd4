// error.cpp - the error routine, the reset, the user break and tracing.
#include "memory/error.h"

#include <cstdio>

#include "eval/eval.h"
#include "memory/memory.h"
#include "reader/port.h"
#include "reader/printer.h"
#include "memory/state.h"
#include "toplevel/toplevel.h"

namespace ondrel {

constexpr int ERROR_CODES = 42;

// English messages, indexed by error code.
static constexpr const char* kMessagesEn[ERROR_CODES] = {
    /*  0 */ "I don't know what happend",
    /*  1 */ "String area used up",
    /*  2 */ "Vector area used up",
    /*  3 */ "Heap area used up",
    /*  4 */ "Software stack under flow",
    /*  5 */ "Software stack over flow",
    /*  6 */ "Unidentified Scm Object",
    /*  7 */ "Pseudo S expression",
    /*  8 */ "Ctrl character sneaks in",
    /*  9 */ "Undefined symbol",
    /* 10 */ "Undefined procedure",
    /* 11 */ "Illegal procedure form",
    /* 12 */ "Illegal quasi-quote form",
    /* 13 */ "Not enough arguments",
    /* 14 */ "Too many arguments",
    /* 15 */ "Illegal argument--Symbol required",
    /* 16 */ "Illegal argument--Number required",
    /* 17 */ "Illegal argument--List required",
    /* 18 */ "Illegal argument--String required",
    /* 19 */ "Illegal argument--Character required",
    /* 20 */ "Illegal argument--Vector required",
    /* 21 */ "Illegal arg.--Symbol or List required",
    /* 22 */ "Illegal arg.--Symbol or Number required",
    /* 23 */ "Illegal arg.--List or Number required",
    /* 24 */ "Illegal argument--Int Num required",
    /* 25 */ "Illegal argument--Frac Num required",
    /* 26 */ "Illegal argument--Real Num required",
    /* 27 */ "Illegal argument--Comp Num required",
    /* 28 */ "Illegal argument --- out of range",
    /* 29 */ "Illegal structure",
    /* 30 */ "Can't create Input Port",
    /* 31 */ "Can't create Output Port",
    /* 32 */ "Condition Clause must be a List",
    /* 33 */ "Unexpected EOF",
    /* 34 */ "Can't Change Constant value",
    /* 35 */ "Unidentified error",
    /* 36 */ "Division by zero",
    /* 37 */ "File not available",
    /* 38 */ "Too many rec-call in Trace",
    /* 39 */ "unquote is only used in quasi-quote",
    /* 40 */ "unquote-splicing is only used in quasi-quote",
    /* 41 */ "User break",
};

// Japanese messages as Shift-JIS bytes; the UTF-8 reading is beside each.
static constexpr const char* kMessagesJa[ERROR_CODES] = {
    /*  0 未設定のエラーが起きました */
    "\x96\xa2\x90\xdd\x92\xe8\x82\xcc\x83G\x83\x89\x81[\x82\xaa\x8bN\x82\xab\x82\xdc\x82\xb5\x82\xbd",
    /*  1 String 領域がありません */
    "String \x97\xcc\x88\xe6\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1",
    /*  2 ベクトル領域がありません */
    "\x83x\x83N\x83g\x83\x8b\x97\xcc\x88\xe6\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1",
    /*  3 ヒープ領域がありません */
    "\x83q\x81[\x83v\x97\xcc\x88\xe6\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1",
    /*  4 ソフトウエアスタック領域がおちました */
    "\x83\x5c\x83t\x83g\x83\x45\x83G\x83\x41\x83X\x83^"
    "\x83\x62\x83N\x97\xcc\x88\xe6\x82\xaa\x82\xa8\x82\xbf\x82\xdc\x82\xb5\x82\xbd",
    /*  5 ソフトウエアスタック領域があふれました */
    "\x83\x5c\x83t\x83g\x83\x45\x83G\x83\x41\x83X\x83^"
    "\x83\x62\x83N\x97\xcc\x88\xe6\x82\xaa\x82\xa0\x82\xd3\x82\xea\x82\xdc\x82\xb5\x82\xbd",
    /*  6 未定義の Scm Object です */
    "\x96\xa2\x92\xe8\x8b`\x82\xcc Scm Object \x82\xc5\x82\xb7",
    /*  7 正しくない S 式表現です */
    "\x90\xb3\x82\xb5\x82\xad\x82\xc8\x82\xa2 S \x8e\xae\x95\x5c\x8c\xbb\x82\xc5\x82\xb7",
    /*  8 コントロールキャラクタが混入しています */
    "\x83R\x83\x93\x83g\x83\x8d\x81[\x83\x8b\x83L\x83\x83\x83\x89\x83N\x83^"
    "\x82\xaa\x8d\xac\x93\xfc\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb7",
    /*  9 未定義の symbol です */
    "\x96\xa2\x92\xe8\x8b`\x82\xcc symbol \x82\xc5\x82\xb7",
    /* 10 未定義の手続きです */
    "\x96\xa2\x92\xe8\x8b`\x82\xcc\x8e\xe8\x91\xb1\x82\xab\x82\xc5\x82\xb7",
    /* 11 不正な関数形式です */
    "\x95s\x90\xb3\x82\xc8\x8a\xd6\x90\x94\x8c`\x8e\xae\x82\xc5\x82\xb7",
    /* 12 不正なマクロ形式です */
    "\x95s\x90\xb3\x82\xc8\x83}\x83N\x83\x8d\x8c`\x8e\xae\x82\xc5\x82\xb7",
    /* 13 引き数が不足しています */
    "\x88\xf8\x82\xab\x90\x94\x82\xaa\x95s\x91\xab\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb7",
    /* 14 引き数が多すぎます */
    "\x88\xf8\x82\xab\x90\x94\x82\xaa\x91\xbd\x82\xb7\x82\xac\x82\xdc\x82\xb7",
    /* 15 不正な引き数です--シンボルが要求されています */
    "\x95s\x90\xb3\x82\xc8\x88\xf8\x82\xab\x90\x94\x82\xc5\x82\xb7--\x83V\x83\x93\x83{"
    "\x83\x8b\x82\xaa\x97v\x8b\x81\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7",
    /* 16 不正な引き数です--数値が要求されています */
    "\x95s\x90\xb3\x82\xc8\x88\xf8\x82\xab\x90\x94\x82\xc5\x82\xb7--"
    "\x90\x94\x92l\x82\xaa\x97v\x8b\x81\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7",
    /* 17 不正な引き数です--リストが要求されています */
    "\x95s\x90\xb3\x82\xc8\x88\xf8\x82\xab\x90\x94\x82\xc5\x82\xb7--"
    "\x83\x8a\x83X\x83g\x82\xaa\x97v\x8b\x81\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7",
    /* 18 不正な引き数です--文字列が要求されています */
    "\x95s\x90\xb3\x82\xc8\x88\xf8\x82\xab\x90\x94\x82\xc5\x82\xb7--"
    "\x95\xb6\x8e\x9a\x97\xf1\x82\xaa\x97v\x8b\x81\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7",
    /* 19 不正な引き数です--文字が要求されています */
    "\x95s\x90\xb3\x82\xc8\x88\xf8\x82\xab\x90\x94\x82\xc5\x82\xb7--"
    "\x95\xb6\x8e\x9a\x82\xaa\x97v\x8b\x81\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7",
    /* 20 不正な引き数です--ベクトルが要求されています */
    "\x95s\x90\xb3\x82\xc8\x88\xf8\x82\xab\x90\x94\x82\xc5\x82\xb7--"
    "\x83x\x83N\x83g\x83\x8b\x82\xaa\x97v\x8b\x81\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7",
    /* 21 不正な引き数です---シンボルかリストが要求されています */
    "\x95s\x90\xb3\x82\xc8\x88\xf8\x82\xab\x90\x94\x82\xc5\x82\xb7---\x83V\x83\x93\x83{"
    "\x83\x8b\x82\xa9\x83\x8a\x83X\x83g\x82\xaa\x97v\x8b\x81\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7",
    /* 22 不正な引き数です---シンボルか数値が要求されています */
    "\x95s\x90\xb3\x82\xc8\x88\xf8\x82\xab\x90\x94\x82\xc5\x82\xb7---\x83V\x83\x93\x83{"
    "\x83\x8b\x82\xa9\x90\x94\x92l\x82\xaa\x97v\x8b\x81\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7",
    /* 23 不正な引き数です---リストか数値が要求されています */
    "\x95s\x90\xb3\x82\xc8\x88\xf8\x82\xab\x90\x94\x82\xc5\x82\xb7---"
    "\x83\x8a\x83X\x83g\x82\xa9\x90\x94\x92l\x82\xaa\x97v\x8b\x81\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82"
    "\xb7",
    /* 24 不正な引き数です---整数値が要求されています */
    "\x95s\x90\xb3\x82\xc8\x88\xf8\x82\xab\x90\x94\x82\xc5\x82\xb7---"
    "\x90\xae\x90\x94\x92l\x82\xaa\x97v\x8b\x81\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7",
    /* 25 不正な引き数です---有理数が要求されています */
    "\x95s\x90\xb3\x82\xc8\x88\xf8\x82\xab\x90\x94\x82\xc5\x82\xb7---"
    "\x97L\x97\x9d\x90\x94\x82\xaa\x97v\x8b\x81\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7",
    /* 26 不正な引き数です---実数値が要求されています */
    "\x95s\x90\xb3\x82\xc8\x88\xf8\x82\xab\x90\x94\x82\xc5\x82\xb7---"
    "\x8e\xc0\x90\x94\x92l\x82\xaa\x97v\x8b\x81\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7",
    /* 27 不正な引き数です---複素数が要求されています */
    "\x95s\x90\xb3\x82\xc8\x88\xf8\x82\xab\x90\x94\x82\xc5\x82\xb7---"
    "\x95\xa1\x91\x66\x90\x94\x82\xaa\x97v\x8b\x81\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7",
    /* 28 不正な引き数です---範囲を越えています */
    "\x95s\x90\xb3\x82\xc8\x88\xf8\x82\xab\x90\x94\x82\xc5\x82\xb7---"
    "\x94\xcd\x88\xcd\x82\xf0\x89z\x82\xa6\x82\xc4\x82\xa2\x82\xdc\x82\xb7",
    /* 29 不正な構造です */
    "\x95s\x90\xb3\x82\xc8\x8d\x5c\x91\xa2\x82\xc5\x82\xb7",
    /* 30 入力ポートを作れません */
    "\x93\xfc\x97\xcd\x83|\x81[\x83g\x82\xf0\x8d\xec\x82\xea\x82\xdc\x82\xb9\x82\xf1",
    /* 31 出力ポートを作れません */
    "\x8fo\x97\xcd\x83|\x81[\x83g\x82\xf0\x8d\xec\x82\xea\x82\xdc\x82\xb9\x82\xf1",
    /* 32 Condition Clause must be a List */
    "Condition Clause must be a List",
    /* 33 予期せぬ EOF を読み取りました */
    "\x97\x5c\x8a\xfa\x82\xb9\x82\xca EOF \x82\xf0\x93\xc7\x82\xdd\x8e\xe6\x82\xe8\x82\xdc\x82\xb5\x82\xbd",
    /* 34 定数値は変更できません */
    "\x92\xe8\x90\x94\x92l\x82\xcd\x95\xcf\x8dX\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1",
    /* 35 未確認のエラーです */
    "\x96\xa2\x8am\x94\x46\x82\xcc\x83G\x83\x89\x81[\x82\xc5\x82\xb7",
    /* 36 0 で除算しました */
    "0 \x82\xc5\x8f\x9c\x8eZ\x82\xb5\x82\xdc\x82\xb5\x82\xbd",
    /* 37 ファイルが available でありません */
    "\x83t\x83@\x83\x43\x83\x8b\x82\xaa available \x82\xc5\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1",
    /* 38 再帰が深すぎてトレースできません */
    "\x8d\xc4\x8b\x41\x82\xaa\x90[\x82\xb7\x82\xac\x82\xc4\x83g\x83\x8c\x81["
    "\x83X\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1",
    /* 39 unquote は quasi-quote でしか使えません */
    "unquote \x82\xcd quasi-quote \x82\xc5\x82\xb5\x82\xa9\x8eg\x82\xa6\x82\xdc\x82\xb9\x82\xf1",
    /* 40 unquote-splicing は quasi-quote でしか使えません */
    "unquote-splicing \x82\xcd quasi-quote \x82\xc5\x82\xb5\x82\xa9\x8eg\x82\xa6\x82\xdc\x82\xb9\x82\xf1",
    /* 41 中断 */
    "\x92\x86\x92\x66",
};

const char* mem_message(int code) {
  if (code < 0 || code >= ERROR_CODES) code = 0;
  return vm.japanese ? kMessagesJa[code] : kMessagesEn[code];
}

void ev_reset() {
  mem.sp = vm.floor_sp;
  mem.cp = vm.floor_cp;
  rd_reset_ports();
  vm.form = vm.env = vm.exp = vm.app = vm.val = NIL;
  vm.argc = 0;
  vm.trace_depth = 0;
}

// The report: the message, "At " and the form, then a blank line.
static void ev_report(const char* format, int code) {
  char line[160];
  std::snprintf(line, sizeof line, format, mem_message(code));
  FILE* out = rd_out();
  rd_write(line, out);
  rd_write("At ", out);
  if (vm.form == NIL)
    rd_write("toplevel", out);
  else
    rd_print(vm.form, out);
  rd_write("\n\n", out);
  std::fflush(out);
}

// Printing the form may itself fail (a port that went bad); the first
// report stands and the unwind goes on.
static void ev_report_guarded(const char* format, int code) {
  static thread_local int depth = 0;
  if (depth > 0) return;
  ++depth;
  try {
    ev_report(format, code);
  } catch (const Unwind&) {}
  --depth;
}

[[noreturn]] void mem_error(int code) {
  vm.last_error = code;
  vm.break_flag = 0;  // a pending break is answered by this error
  ev_report_guarded("\nError : %s\n", code);
  ev_reset();
  throw Unwind{UNWIND_ERROR};
}

void mem_check_break() {
  if (vm.break_flag != 0) {
    vm.break_flag = 0;
    mem_error(E_USER_BREAK);
  }
}

// Trace indentation for depth d: at most 30 units of two characters.
static void ev_trace_indent(FILE* out) {
  for (int i = 1; i <= vm.trace_depth - 1 && i <= 30; ++i) rd_write(i % 3 == 2 ? " |" : "  ", out);
}

// One trace line: the indentation, the depth with its mark, the name, the
// label and the printed value.
static void ev_trace_line(char mark, Value sym, const char* label, Value v) {
  FILE* out = rd_out();
  ev_trace_indent(out);
  char num[24];
  std::snprintf(num, sizeof num, "%d%c", vm.trace_depth, mark);
  rd_write(num, out);
  rd_print(sym, out);
  rd_write(label, out);
  rd_print(v, out);
  rd_write("\n", out);
}

void ev_trace_entry(Value sym, Value args) {
  if (++vm.trace_depth > 255) mem_error(E_TRACE_DEPTH);
  ev_trace_line('>', sym, " args=", args);
}

void ev_trace_exit(Value sym, Value result) {
  ev_trace_line('<', sym, " result=", result);
  --vm.trace_depth;
}

}  // namespace ondrel
