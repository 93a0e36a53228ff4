#include "db/Settings.h"

#include <QSettings>

namespace torvm {

namespace {

QString settingKey(const QString& section, const QString& key)
{
    return section + QLatin1Char('/') + key;
}

QSettings store()
{
    return QSettings(QStringLiteral("Velmarik"), QStringLiteral("torvm"));
}

bool& readOnly()
{
    static bool flag = false;
    return flag;
}

} // namespace

ScopedReadOnlyWorkplace::ScopedReadOnlyWorkplace()
    : m_previous(readOnly())
{
    readOnly() = true;
}

ScopedReadOnlyWorkplace::~ScopedReadOnlyWorkplace()
{
    readOnly() = m_previous;
}

int profileInt(const QString& section, const QString& key, int defaultValue)
{
    bool ok = false;
    const int value = store().value(settingKey(section, key)).toInt(&ok);
    return ok ? value : defaultValue;
}

void writeProfileInt(const QString& section, const QString& key, int value)
{
    if (readOnly())
        return;
    store().setValue(settingKey(section, key), value);
}

QString profileString(const QString& section, const QString& key, const QString& defaultValue)
{
    const QVariant value = store().value(settingKey(section, key));
    return value.isValid() ? value.toString() : defaultValue;
}

void writeProfileString(const QString& section, const QString& key, const QString& value)
{
    if (readOnly())
        return;
    store().setValue(settingKey(section, key), value);
}

void removeProfileValue(const QString& section, const QString& key)
{
    if (readOnly())
        return;
    store().remove(settingKey(section, key));
}

} // namespace torvm
