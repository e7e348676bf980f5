#pragma once
// Small helpers every window of the program shares.

#include <QPushButton>
#include <QString>
#include <string>

namespace virmak {

inline QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

// A dialog's button that Enter in a field or a grid never presses.
inline QPushButton* BoutonDialogue(const char* nom, const QString& texte)
{
    auto* b = new QPushButton(texte);
    b->setObjectName(nom);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

// A help button "?" carrying its context number as its tag.
inline QPushButton* BoutonAide(int numero, int cote)
{
    auto* b = new QPushButton(QStringLiteral("?"));
    b->setObjectName(QStringLiteral("BtnAide%1").arg(numero));
    b->setProperty("tag", numero);
    b->setAutoDefault(false);
    b->setFixedSize(cote, cote);
    b->setCursor(Qt::WhatsThisCursor);
    return b;
}

} // namespace virmak
