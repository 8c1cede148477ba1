#pragma once

#include <QString>

#include <memory>
#include <string>

#include "cards/words.h"

class QObject;
class QTranslator;

namespace vorn {

// The languages a table can speak. Chinese is the source of every text, so it
// needs no translation file and is what a table speaks unless told otherwise.
enum class Lang { Chinese, English };

// One table's words on the Qt side: the program's texts in the chosen
// language, and the captions of its widgets kept so they follow a switch.
class Language : public Words {
  public:
    explicit Language(Lang lang = Lang::Chinese);
    ~Language() override;
    Language(const Language&) = delete;
    Language& operator=(const Language&) = delete;

    Lang lang() const { return lang_; }
    // False when the English catalogue could not be loaded: the table then
    // stays in Chinese rather than showing half-translated screens.
    bool Set(Lang lang);

    QString Tr(const char* source) const;
    // A text with a count: %n is n, in the form for one or for more.
    QString Tr(const char* source, int n) const;
    std::string operator()(const char* source) const override;

    // Sets a caption from a source text and remembers the source, so Retitle
    // can set it again after a switch. Works for actions, menus, buttons,
    // labels, group boxes and windows; accessible names go through Name.
    void Caption(QObject* object, const char* source) const;
    void Name(QObject* widget, const char* source) const;
    // Every remembered caption and name under root (root included), again.
    void Retitle(QObject* root) const;

  private:
    Lang lang_ = Lang::Chinese;
    std::unique_ptr<QTranslator> english_;
};

// A table that speaks the source language, for widgets built without a window.
const Language& SourceLanguage();

// The toolkit's own texts (the Yes and No of a question box, a file dialog's
// buttons) are process-wide: Chinese installs Qt's Chinese catalogue, English
// removes it. Returns whether the catalogue the language needs is in place.
bool UseToolkitLanguage(Lang lang);

}  // namespace vorn
