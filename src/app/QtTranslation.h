#pragma once

#include <QTranslator>

namespace app {

// Qt's own texts (the standard buttons OK, Cancel, Yes, No and the standard dialogs) in the
// interface language, from the catalogues installed with Qt.
class QtTranslation {
public:
    QtTranslation() = default;
    QtTranslation(const QtTranslation&) = delete;
    QtTranslation& operator=(const QtTranslation&) = delete;

    // Follows the language code: Hebrew loads Qt's Hebrew catalogue, English takes Qt's own
    // texts. False when the catalogue is not installed (Qt's English texts stay).
    bool apply(int lang);

private:
    QTranslator m_translator;
    bool m_installed = false;
};

} // namespace app
