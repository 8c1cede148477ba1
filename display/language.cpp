#include "display/language.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QTranslator>
#include <QWidget>

namespace vorn {

namespace {

constexpr const char* kContext = "Vorn";
// Dynamic properties holding the source texts of a caption and an accessible name.
constexpr const char* kCaptionSource = "vornCaption";
constexpr const char* kNameSource = "vornName";

void SetCaption(QObject* object, const QString& text) {
    if (auto* action = qobject_cast<QAction*>(object)) {
        action->setText(text);
    } else if (auto* menu = qobject_cast<QMenu*>(object)) {
        menu->setTitle(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(object)) {
        label->setText(text);
    } else if (auto* box = qobject_cast<QGroupBox*>(object)) {
        box->setTitle(text);
    } else if (auto* widget = qobject_cast<QWidget*>(object)) {
        widget->setWindowTitle(text);
    }
}

void Reapply(const Language& language, QObject* object) {
    const QVariant caption = object->property(kCaptionSource);
    if (caption.isValid()) SetCaption(object, language.Tr(caption.toByteArray().constData()));
    const QVariant name = object->property(kNameSource);
    if (name.isValid()) {
        if (auto* widget = qobject_cast<QWidget*>(object))
            widget->setAccessibleName(language.Tr(name.toByteArray().constData()));
    }
}

}  // namespace

Language::Language(Lang lang) {
    Set(lang);
}

Language::~Language() = default;

bool Language::Set(Lang lang) {
    if (lang == Lang::English && !english_) {
        auto catalogue = std::make_unique<QTranslator>();
        if (!catalogue->load(":/i18n/vorn_en.qm")) {
            lang_ = Lang::Chinese;
            return false;
        }
        english_ = std::move(catalogue);
    }
    lang_ = lang;
    return true;
}

QString Language::Tr(const char* source) const {
    if (lang_ == Lang::English) {
        QString text = english_->translate(kContext, source);
        if (!text.isEmpty()) return text;
    }
    return QString::fromUtf8(source);
}

QString Language::Tr(const char* source, int n) const {
    // The catalogue chooses the form for n; the number goes in here.
    QString text = lang_ == Lang::English ? english_->translate(kContext, source, nullptr, n) : QString();
    if (text.isEmpty()) text = QString::fromUtf8(source);
    return text.replace(QLatin1String("%n"), QString::number(n));
}

std::string Language::operator()(const char* source) const {
    return Tr(source).toStdString();
}

void Language::Caption(QObject* object, const char* source) const {
    object->setProperty(kCaptionSource, QByteArray(source));
    SetCaption(object, Tr(source));
}

void Language::Name(QObject* widget, const char* source) const {
    widget->setProperty(kNameSource, QByteArray(source));
    if (auto* w = qobject_cast<QWidget*>(widget)) w->setAccessibleName(Tr(source));
}

void Language::Retitle(QObject* root) const {
    Reapply(*this, root);
    for (QObject* child : root->findChildren<QObject*>()) Reapply(*this, child);
}

const Language& SourceLanguage() {
    static const Language chinese;
    return chinese;
}

bool UseToolkitLanguage(Lang lang) {
    static QTranslator* chinese = nullptr;
    static bool installed = false;
    auto* app = QCoreApplication::instance();
    if (!app) return false;
    if (lang == Lang::English) {
        if (installed) QCoreApplication::removeTranslator(chinese);
        installed = false;
        return true;
    }
    if (installed) return true;
    if (!chinese) {
        auto catalogue = std::make_unique<QTranslator>(app);
        if (!catalogue->load("qtbase_zh_CN", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            return false;
        chinese = catalogue.release();
    }
    installed = QCoreApplication::installTranslator(chinese);
    return installed;
}

}  // namespace vorn
