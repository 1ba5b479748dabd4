// port.h - port objects, character I/O, the transcript.
#pragma once
#include <cstdio>

#include "memory/memory.h"

namespace ondrel {

// Port objects are static, 8 bytes each at PORT_TABLE in the arena (tag
// byte INPUT_PORT or OUTPUT_PORT); the stream of port k is held host-side
// in rd_streams[k] because a FILE* does not fit a 32-bit word.
constexpr int PORT_SLOTS = 20;
constexpr Value PORT_CUR_IN = PORT_TABLE;                         // current input port
constexpr Value PORT_CUR_OUT = PORT_TABLE + 8;                    // current output port
constexpr Value PORT_TRANSCRIPT = PORT_TABLE + 16;                // transcript port
constexpr Value PORT_IN_TABLE = PORT_TABLE + 24;                  // 20 input ports
constexpr Value PORT_OUT_TABLE = PORT_IN_TABLE + 8 * PORT_SLOTS;  // 20 output ports
inline FILE* rd_streams[PORT_OBJECTS];

inline FILE*& rd_stream(Value port) { return rd_streams[(port - PORT_TABLE) / 8]; }
inline FILE* rd_in() { return rd_stream(PORT_CUR_IN); }    // current input stream
inline FILE* rd_out() { return rd_stream(PORT_CUR_OUT); }  // current output stream

// Reading and writing characters and text.  Console input reaches the
// transcript once, when first read: a character pushed back onto standard
// input is not copied again.  Input from files is never copied.
int rd_read_char(FILE* in);                              // 0..255 or EOF; transcript copy
void rd_unget_char(int c, FILE* in);                     // one character of push-back
void rd_write(const char* text, FILE* out);              // also copied to the transcript
void rd_write_n(const char* text, size_t n, FILE* out);  // n bytes, NULs included
void rd_console(const char* text);                       // standard output only, never copied

// Opening and closing.  Open returns 0 when the file does not open.
Value rd_open_input(const char* name);   // error 30 when the table is full
Value rd_open_output(const char* name);  // error 31 when the table is full
// A file that has not taken everything written to it fails: error 37 at
// the write, false from the closing.
bool rd_close_port(Value port);  // a rebound current port returns to the console
bool rd_port_protected(Value port);
void rd_reset_ports();  // current ports back to the console

// A port a primitive opened for one call, left by an unwind: its current
// port stays rebound to it (an error report still goes there) until
// rd_settle_ports sets back what the primitive would have set back and closes
// it, in the order the ports were left.  rd_settle_ports runs in the reset and
// after a quit.
void rd_abandon_port(Value port, Value current, FILE* saved);
void rd_settle_ports();

// Set-up (console streams, empty tables, an empty symbol table) and
// shutdown (every stream that is not the console closed).
void rd_init_ports();
void rd_shutdown_ports();

bool rd_transcript_on(const char* name);  // replaces (and closes) a running one
bool rd_transcript_off();
bool rd_transcript_active();

}  // namespace ondrel
