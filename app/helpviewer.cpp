#include "app/helpviewer.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace vorn {

HelpViewer::HelpViewer(QString folder, QWidget* parent, const Language& words)
    : QDialog(parent), words_(words), folder_(std::move(folder)) {
    setObjectName("helpViewer");
    words_.Caption(this, QT_TRANSLATE_NOOP("Vorn", "Vorn 帮助"));
    setModal(false);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName("helpBrowser");
    browser_->setOpenExternalLinks(true);
    browser_->setSearchPaths({folder_});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(720, 640);
}

bool HelpViewer::Open(Page page) {
    const QString name = page == Page::Contents ? "index.html" : "search.html";
    QString file = QDir(folder_).filePath("en/" + name);
    if (words_.lang() != Lang::English || !QFileInfo::exists(file)) file = QDir(folder_).filePath(name);
    if (!QFileInfo::exists(file)) return false;
    // The viewer outlives a language switch: its title follows at the next page.
    words_.Retitle(this);
    browser_->setSource(QUrl::fromLocalFile(file));
    return true;
}

}  // namespace vorn
