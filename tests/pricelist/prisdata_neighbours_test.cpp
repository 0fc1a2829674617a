// Stepping through the products with the detail dialog open: the pictures of the records
// before and after the current one are decoded ahead on the picture cache's worker, so
// "Neste" and "Forrige" show them without a decode on the user-interface thread.
#include "pricelist/pictures/picturecache.h"
#include "tests/pricelist/detailfixture.h"

namespace {

bool near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) <= 24 && std::abs(a.green() - b.green()) <= 24 && std::abs(a.blue() - b.blue()) <= 24;
}

class DetailNeighbours : public DetailFixture {
protected:
    DetailNeighbours()
    {
        useLocalPictures();
        // In list order: Amaryllis (no picture), Liljer, Roser, Tulipaner.
        writePhoto(docs() + QStringLiteral("liljer.jpg"), QSize(1600, 1200), Qt::yellow);
        writePhoto(docs() + QStringLiteral("roser.png"), QSize(900, 600), Qt::red);
        admin.exec(QStringLiteral("UPDATE product SET picture = 'tulipaner.jpg' WHERE id = 42"));
        writePhoto(docs() + QStringLiteral("tulipaner.jpg"), QSize(2000, 3000), Qt::magenta);
    }
    void writePhoto(const QString& path, QSize size, QColor colour)
    {
        Sandbox::writeFile(path, pictureBytes(size, colour, path.endsWith(QLatin1String("png")) ? "png" : "jpg"));
    }
    QColor centre() const
    {
        const QImage& shown = control<PictureBox>(*dialog, "Image1")->shownPart();
        return shown.pixelColor(shown.width() / 2, shown.height() / 2);
    }
};

TEST_F(DetailNeighbours, NesteAndForrigeShowTheNeighboursWithoutADecodeHere)
{
    createWindows();
    auto* Image1 = control<PictureBox>(*dialog, "Image1");
    goTo(43); // Liljer
    showDialog();
    EXPECT_EQ(Image1->decodeCount(), 1);
    struct Step {
        const char* button;
        QSize shown;
        QColor colour;
    } steps[] = {
        {"SpeedButton2", {270, 180}, Qt::red},     // Neste: Roser
        {"SpeedButton2", {180, 270}, Qt::magenta}, // Neste: Tulipaner
        {"SpeedButton1", {270, 180}, Qt::red},     // Forrige: Roser
        {"SpeedButton1", {270, 202}, Qt::yellow},  // Forrige: Liljer
    };
    for (const Step& s : steps) {
        PictureCache::instance().waitUntilIdle(); // the user's pause between two clicks
        QTest::mouseClick(control<QToolButton>(*dialog, s.button), Qt::LeftButton);
        EXPECT_EQ(Image1->shownPart().size(), s.shown);
        EXPECT_TRUE(near(centre(), s.colour)) << centre().name().toStdString();
    }
    EXPECT_EQ(Image1->decodeCount(), 1);
    EXPECT_TRUE(messages.empty());
}

TEST_F(DetailNeighbours, ANeighbourChangedOnDiskIsDecodedAgainWhenShown)
{
    createWindows();
    auto* SpeedButton2 = control<QToolButton>(*dialog, "SpeedButton2");
    auto* Image1 = control<PictureBox>(*dialog, "Image1");
    goTo(43);
    showDialog();
    PictureCache::instance().waitUntilIdle();
    writePhoto(docs() + QStringLiteral("roser.png"), QSize(100, 80), Qt::green);
    QTest::mouseClick(SpeedButton2, Qt::LeftButton);
    EXPECT_EQ(Image1->pictureSize(), QSize(100, 80));
    EXPECT_TRUE(near(centre(), Qt::green));
    EXPECT_EQ(Image1->decodeCount(), 2);
}

} // namespace
