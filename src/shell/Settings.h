#pragma once

#include <QString>

#include <optional>

class QSettings;

namespace shell {

// The values kept between runs, as text in the "Settings" and "LiveUpdate" groups. A key
// that is missing, or whose text does not convert, reads as no value.
class SettingsStore {
public:
    explicit SettingsStore(QSettings& settings) : m_s(settings) {}

    std::optional<int> integer(const QString& section, const QString& key) const;
    std::optional<float> single(const QString& section, const QString& key) const;
    std::optional<bool> boolean(const QString& section, const QString& key) const;
    std::optional<QString> text(const QString& section, const QString& key) const;

    void setInteger(const QString& section, const QString& key, int value);
    void setSingle(const QString& section, const QString& key, float value);
    void setBoolean(const QString& section, const QString& key, bool value);
    void setText(const QString& section, const QString& key, const QString& value);
    void sync();

private:
    QSettings& m_s;
};

// Numbers are written and read in the user's locale, without digit grouping.
QString singleToText(float value);
std::optional<float> textToSingle(const QString& text);

} // namespace shell
