// editwin_headless.h - the scripted editor backend: a thread with an event
// queue stands for the UI thread; tests post the user's keys and menu
// choices, answer the dialogs and questions in advance, and read back the
// text and the caption.
#pragma once
#include <cstdint>
#include <string>

#include "platform/editwin.h"

namespace ondrel {

void hl_post(const EdEvent& ev);
void hl_post_key(int32_t code, bool ctrl);  // Ctrl down, key down/up, Ctrl up
void hl_post_command(int32_t id);
// Wait until every posted event has been handled.
void hl_wait_idle();
// Wait until no headless window exists.
void hl_wait_closed();
bool hl_is_open();
// Answers for the next dialogs and questions, used in order; a dialog
// with no answer left is cancelled, a question with none is answered no.
void hl_answer_dialog(bool ok, const char* path, const char* name);
void hl_answer_question(bool yes);
// What the window shows, and what it was asked.
std::string hl_text();
std::string hl_title();
std::string hl_last_dialog_caption();
int32_t hl_questions_asked();
int32_t hl_keys_passed();        // key-downs the editor left to the control
void hl_type(const char* text);  // type at the selection
void hl_select(int32_t start, int32_t end);
void hl_selection(int32_t* start, int32_t* end);
// The menu items of the open window, as the editor described them.
int32_t hl_item_count();
EdMenuItem hl_item(int32_t i);
// Window creation fails while this is set.
void hl_fail_open(bool fail);

}  // namespace ondrel
