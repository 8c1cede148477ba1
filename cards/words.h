#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Marks a text for the translation tools without Qt: the core is written in
// its source language, Chinese, and a table's Words turn a text into the
// language its person chose. The definition is Qt's own, so either may come first.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif
#ifndef QT_TRANSLATE_N_NOOP
// A text with a count (%n) whose translation has a form for one and for more.
#define QT_TRANSLATE_N_NOOP(scope, x) x
#endif

namespace vorn {

// The words one table's person reads. Two tables in one process may speak
// different languages, so each view carries its own; the base class speaks the
// source language, which is also what tools and tests without a screen get.
class Words {
  public:
    virtual ~Words() = default;
    // The text in this table's language; a text without a translation stays as it is.
    virtual std::string operator()(const char* source) const { return source; }
};

// The one Words of the source language.
const Words& SourceWords();

// pattern with %1 .. %9 replaced by args in order; a '%' not followed by a
// digit naming an argument stays as it is. Patterns let a translation put the
// parts where its grammar wants them.
std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace vorn
