#pragma once

class QApplication;

namespace vorn {

// The program's start: the table window, then the logon dialog, modally.
int Main(QApplication& app);

}  // namespace vorn
