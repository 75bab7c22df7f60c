// The texts of the installed desktop files, compiled into the program so that "--reg" can
// make a program that was never installed known to the user's desktop.
#pragma once

namespace corvex {

extern const char kCorvexDesktopEntry[]; // corvex.desktop
extern const char kPlayerDesktopEntry[]; // tunelet.desktop
extern const char kFileTypesPackage[];   // the shared-mime-info package, corvex.xml

} // namespace corvex
