#pragma once
// The catalogue of the maker's other applications: one window for the process, made on first use,
// centred only then; closing it hides it, and the next request shows the same window where it was
// left. Each row opens its entry's web page in the desktop's browser.
#include <QAbstractButton>
#include <QColor>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace Tessarine {

// One catalogue entry.
struct CatalogueApp {
    // The lower-case, hyphenated page name on the maker's web site.
    std::string id;
    std::string name;
    std::string detail;       // one line under the name
    std::string systemImage;  // the symbol on the icon tile
    QColor tint;              // the icon tile's colour

    // The maker's page of the app for Linux.
    QUrl url() const;
    // "Opens Auralto on quenlow.com".
    QString accessibleLabel() const;

    friend bool operator==(const CatalogueApp&, const CatalogueApp&) = default;
};

// A row: icon tile, name over detail, and the link mark; the whole row is one button.
class CatalogueAppRow : public QAbstractButton {
    Q_OBJECT

public:
    explicit CatalogueAppRow(CatalogueApp app, QWidget* parent = nullptr);
    const CatalogueApp& app() const { return app_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    CatalogueApp app_;
    bool hovered_ = false;
};

class MoreAppsView : public QWidget {
    Q_OBJECT

public:
    // Opens a page; false when it could not be handed over. Empty: the desktop's browser.
    using UrlOpener = std::function<bool(const QUrl&)>;

    // The window's fixed size, pixels.
    static constexpr int width = 440;
    static constexpr int height = 400;

    // Every entry in display order, this application's own ("tessarine") included.
    static const std::vector<CatalogueApp>& catalogue();
    // The entries shown: the catalogue without this application.
    static std::vector<CatalogueApp> apps();
    // The caption under the rows.
    static QString footer();

    explicit MoreAppsView(UrlOpener opener = {}, QWidget* parent = nullptr);

    // Shows the catalogue window, making it on the first call, and brings it to the front.
    static MoreAppsView& showWindow();

private:
    void open(const CatalogueApp& app);

    UrlOpener opener_;
};

} // namespace Tessarine
