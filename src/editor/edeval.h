// edeval.h - evaluating the editor's text: a thread per Evaluate command
// that reads the saved text datum by datum, evaluates each and prints its
// value on the console, as if it had been typed at the prompt.
#pragma once

namespace ondrel {

// True while an editor evaluation runs (an Evaluate command given then is
// refused before the text file is rewritten).
bool ed_evaluation_running();
// Start evaluating the file `file_name` on a thread of its own and return
// at once.  The thread refuses, printing nothing, while the console loop is
// evaluating or another editor evaluation runs.
void ed_start_evaluation(const char* file_name);
// Wait until every evaluation thread started has ended (tests).
void ed_join_evaluation();

}  // namespace ondrel
