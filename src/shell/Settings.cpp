#include "shell/Settings.h"

#include <QLocale>
#include <QSettings>

namespace shell {

namespace {
QLocale numberLocale() {
    QLocale loc = QLocale::system();
    loc.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return loc;
}
} // namespace

QString singleToText(float value) {
    return numberLocale().toString(double(value), 'g', 7);
}

std::optional<float> textToSingle(const QString& text) {
    bool ok = false;
    const float v = numberLocale().toFloat(text.trimmed(), &ok);
    if (!ok)
        return std::nullopt;
    return v;
}

std::optional<QString> SettingsStore::text(const QString& section, const QString& key) const {
    const QVariant v = m_s.value(section + u'/' + key);
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

void SettingsStore::setText(const QString& section, const QString& key, const QString& value) {
    m_s.setValue(section + u'/' + key, value);
}

std::optional<int> SettingsStore::integer(const QString& section, const QString& key) const {
    const auto t = text(section, key);
    if (!t)
        return std::nullopt;
    bool ok = false;
    const int v = numberLocale().toInt(t->trimmed(), &ok);
    if (!ok)
        return std::nullopt;
    return v;
}

std::optional<float> SettingsStore::single(const QString& section, const QString& key) const {
    const auto t = text(section, key);
    if (!t)
        return std::nullopt;
    return textToSingle(*t);
}

std::optional<bool> SettingsStore::boolean(const QString& section, const QString& key) const {
    const auto t = text(section, key);
    if (!t)
        return std::nullopt;
    const QString s = t->trimmed();
    if (s.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    if (s.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const int n = s.toInt(&ok);
    if (ok)
        return n != 0;
    return std::nullopt;
}

void SettingsStore::setInteger(const QString& section, const QString& key, int value) {
    setText(section, key, QString::number(value));
}

void SettingsStore::setSingle(const QString& section, const QString& key, float value) {
    setText(section, key, singleToText(value));
}

void SettingsStore::setBoolean(const QString& section, const QString& key, bool value) {
    setText(section, key, value ? QStringLiteral("True") : QStringLiteral("False"));
}

void SettingsStore::sync() {
    m_s.sync();
}

} // namespace shell
