// The message sink: the one road by which the core tells the user of a
// failure or a completion ("ERROR" / "read_records(): fopen error", "Info" /
// "Load complete"). The GUI installs message boxes, the command-line tool
// prints to stderr, tests install a recorder; with none installed messages
// are dropped.
#pragma once

namespace valdrin {

struct MessageSink {
  void (*show)(void* context, const char* caption, const char* text) = nullptr;
  void* context = nullptr;
  // The few messages that the main window owns (the printer's errors); a
  // sink without it shows them through `show` like any other.
  void (*show_owned)(void* context, const char* caption, const char* text) = nullptr;
};

// Installs the sink every later show_message goes to; returns the previous
// one so that a caller (a test) can put it back.
MessageSink set_message_sink(MessageSink sink);

void show_message(const char* caption, const char* text);

// As show_message, for a box owned by the main window rather than by none.
void show_owned_message(const char* caption, const char* text);

}  // namespace valdrin
