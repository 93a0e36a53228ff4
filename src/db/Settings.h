#pragma once

#include <QString>

namespace torvm {

// The workplace settings of the user (window positions, last file, recent files), kept by
// QSettings under "Velmarik"/"torvm": on Windows the registry key Software\Velmarik\torvm, on
// Linux an INI file. Sections and keys are the ones the program has always used.
int profileInt(const QString& section, const QString& key, int defaultValue);
void writeProfileInt(const QString& section, const QString& key, int value);
QString profileString(const QString& section, const QString& key, const QString& defaultValue);
void writeProfileString(const QString& section, const QString& key, const QString& value);
void removeProfileValue(const QString& section, const QString& key);

// While one lives, the workplace settings are read but never written: the command-line tool
// works on competition files only and must not become the desktop program's last file.
class ScopedReadOnlyWorkplace {
public:
    ScopedReadOnlyWorkplace();
    ~ScopedReadOnlyWorkplace();
    ScopedReadOnlyWorkplace(const ScopedReadOnlyWorkplace&) = delete;
    ScopedReadOnlyWorkplace& operator=(const ScopedReadOnlyWorkplace&) = delete;

private:
    bool m_previous;
};

inline constexpr auto kMainSection = "VMMainDlg";
inline constexpr auto kFileNameKey = "FileName";
inline constexpr auto kDefaultFileName = "torvm.mdb";

} // namespace torvm
