// The process-wide message sink. It is the only global of the core: every
// producer of a message would otherwise need a sink parameter threaded
// through calls that the GUI, the tool and the tests make alike.
#include "core/message.h"

namespace valdrin {

namespace {
MessageSink g_sink;
}

MessageSink set_message_sink(MessageSink sink) {
  const MessageSink previous = g_sink;
  g_sink = sink;
  return previous;
}

void show_message(const char* caption, const char* text) {
  if (g_sink.show != nullptr) g_sink.show(g_sink.context, caption, text);
}

void show_owned_message(const char* caption, const char* text) {
  if (g_sink.show_owned != nullptr)
    g_sink.show_owned(g_sink.context, caption, text);
  else
    show_message(caption, text);
}

}  // namespace valdrin
