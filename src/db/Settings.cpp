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

} // namespace

int profileInt(const QString& section, const QString& key, int defaultValue)
{
    bool ok = false;
    const int value = store().value(settingKey(section, key)).toInt(&ok);
    return ok ? value : defaultValue;
}

void writeProfileInt(const QString& section, const QString& key, int value)
{
    store().setValue(settingKey(section, key), value);
}

QString profileString(const QString& section, const QString& key, const QString& defaultValue)
{
    const QVariant value = store().value(settingKey(section, key));
    return value.isValid() ? value.toString() : defaultValue;
}

void writeProfileString(const QString& section, const QString& key, const QString& value)
{
    store().setValue(settingKey(section, key), value);
}

void removeProfileValue(const QString& section, const QString& key)
{
    store().remove(settingKey(section, key));
}

} // namespace torvm
