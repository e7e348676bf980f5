// The help in the program's own window: every "?" opens its page there,
// and every link of every page leads somewhere it can show.

#include "foundation/aide.h"
#include "support/support.h"
#include "ui/fenetre_aide.h"
#include "ui/fenetre_principale.h"
#include "ui/support_ui.h"

#include <QDir>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

using FenetreAide = AvecConfiguration;

// The links and the anchors of the document shown.
void LiensEtAncres(const QTextDocument* d, QStringList& liens, QStringList& ancres)
{
    for (QTextBlock b = d->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isAnchor())
                continue;
            ancres << f.anchorNames();
            if (!f.anchorHref().isEmpty() && !liens.contains(f.anchorHref()))
                liens << f.anchorHref();
        }
}

} // namespace

TEST_F(FenetreAide, AHelpButtonShowsItsPageInTheProgramsWindowWithBackAndForward)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    f.findChild<QPushButton*>("BtnAide4")->click();
    TFormAide* aide = f.FenetreAide();
    ASSERT_TRUE(aide);
    EXPECT_TRUE(aide->isVisible());
    QTextBrowser* n = aide->Navigateur();
    EXPECT_TRUE(n->source().toLocalFile().endsWith("/aide/1004.html"));
    EXPECT_EQ(aide->windowTitle(), "Etat machine — Aide de Virmak");
    f.findChild<QPushButton*>("BtnAide7")->click();
    EXPECT_TRUE(n->source().toLocalFile().endsWith("/aide/1007.html"));
    QPushButton* precedent = aide->findChild<QPushButton*>("AidePrecedent");
    ASSERT_TRUE(precedent->isEnabled());
    precedent->click();
    EXPECT_TRUE(n->source().toLocalFile().endsWith("/aide/1004.html"));
    aide->findChild<QPushButton*>("AideSuivant")->click();
    EXPECT_TRUE(n->source().toLocalFile().endsWith("/aide/1007.html"));
    aide->findChild<QPushButton*>("AideSommaire")->click();
    EXPECT_TRUE(n->source().toLocalFile().endsWith("/aide/index.html"));
}

TEST_F(FenetreAide, EveryLinkOfEveryPageResolvesInTheViewer)
{
    const std::string index = CheminAide(NomAideDefaut, 0, DossiersAide(dossier, ""));
    ASSERT_FALSE(index.empty());
    const QDir dossierAide = QFileInfo(QString::fromStdString(index)).dir();
    QTextBrowser n;
    int liensVus = 0;
    const QStringList pages = dossierAide.entryList({ "*.html" }, QDir::Files);
    ASSERT_GE(pages.size(), 17);
    for (const QString& page : pages) {
        n.setSource(QUrl::fromLocalFile(dossierAide.filePath(page)));
        EXPECT_FALSE(n.documentTitle().isEmpty()) << page.toStdString();
        QStringList liens, ancres;
        LiensEtAncres(n.document(), liens, ancres);
        const QUrl source = n.source();
        for (const QString& lien : liens) {
            const QUrl cible = source.resolved(QUrl(lien));
            if (!cible.isLocalFile()) {
                EXPECT_TRUE(cible.scheme().startsWith("http"))
                    << page.toStdString() << " " << lien.toStdString();
                continue;
            }
            ASSERT_TRUE(QFileInfo(cible.toLocalFile()).isFile())
                << page.toStdString() << " " << lien.toStdString();
            QTextBrowser vue;
            vue.setSource(cible);
            EXPECT_FALSE(vue.document()->isEmpty()) << lien.toStdString();
            if (cible.hasFragment()) {
                QStringList autres, ancresCible;
                LiensEtAncres(vue.document(), autres, ancresCible);
                EXPECT_TRUE(ancresCible.contains(cible.fragment()))
                    << page.toStdString() << " " << lien.toStdString();
            }
            ++liensVus;
        }
    }
    EXPECT_GT(liensVus, 80);
    // Every help button's context has a page of its own.
    for (int contexte :
        { 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1021, 1022, 1023, 1024, 1025, 1031, 1041 })
        EXPECT_TRUE(dossierAide.exists(QString("%1.html").arg(contexte))) << contexte;
}
