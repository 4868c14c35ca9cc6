#pragma once
// Where scripted mode prints: a thin handle on any stream-like object with write() and
// flush(). Ravlo3.exe hands it the console writer, the tests a std::ostringstream; only the
// tests instantiate iostreams, so the program ships without the locale machinery they bring.

#include <string>
#include <string_view>

namespace ravlo {

class TextSink {
 public:
  template <class Stream>
    requires requires(Stream& stream, const char* text) {
      stream.write(text, 1);
      stream.flush();
    }
  TextSink(Stream& stream)  // NOLINT: implicit, so a stream passes where TextSink is asked for
      : target_(&stream),
        write_([](void* target, std::string_view text) {
          static_cast<Stream*>(target)->write(text.data(), text.size());
        }),
        flush_([](void* target) { static_cast<Stream*>(target)->flush(); }) {}

  TextSink& operator<<(std::string_view text) {
    write_(target_, text);
    return *this;
  }
  TextSink& operator<<(const std::string& text) { return *this << std::string_view(text); }
  TextSink& operator<<(const char* text) { return *this << std::string_view(text); }
  TextSink& operator<<(char c) { return *this << std::string_view(&c, 1); }
  TextSink& operator<<(int value) { return *this << std::to_string(value); }
  void Flush() { flush_(target_); }

 private:
  void* target_;
  void (*write_)(void*, std::string_view);
  void (*flush_)(void*);
};

}  // namespace ravlo
