#include "toolkit/WebBrowser.h"

#include "toolkit/WidgetBridge.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

namespace tk {

namespace {

// The property that keeps an image's size in percent of the view.
constexpr int kPercentWidth = QTextFormat::UserProperty + 1;
constexpr int kPercentHeight = QTextFormat::UserProperty + 2;

// Reads width="N%" / height="N%" of each img element, in document order.
std::vector<std::pair<double, double>> PercentSizes(const QString& html) {
    std::vector<std::pair<double, double>> sizes;
    static const QRegularExpression img(QStringLiteral("<img\\b[^>]*>"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression width(QStringLiteral("width\\s*=\\s*\"?(\\d+)%"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression height(QStringLiteral("height\\s*=\\s*\"?(\\d+)%"),
                                           QRegularExpression::CaseInsensitiveOption);
    auto it = img.globalMatch(html);
    while (it.hasNext()) {
        const QString tag = it.next().captured(0);
        const auto w = width.match(tag);
        const auto h = height.match(tag);
        sizes.emplace_back(w.hasMatch() ? w.captured(1).toDouble() : 0.0,
                           h.hasMatch() ? h.captured(1).toDouble() : 0.0);
    }
    return sizes;
}

// Where the images stand in the document (each image is one character).
std::vector<int> ImagePositions(QTextDocument* document) {
    std::vector<int> positions;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isImageFormat()) {
                for (int i = 0; i < fragment.length(); ++i) {
                    positions.push_back(fragment.position() + i);
                }
            }
        }
    }
    return positions;
}

// Gives an image whose file is not a regular one (a FIFO) a blank picture, so that the view never
// reads it: reading would block the program.
void SkipIrregularImages(QTextDocument* document) {
    for (int position : ImagePositions(document)) {
        QTextCursor cursor(document);
        cursor.setPosition(position);
        cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
        const QUrl url =
            document->baseUrl().resolved(QUrl(cursor.charFormat().toImageFormat().name()));
        const QFileInfo file(url.toLocalFile());
        if (file.exists() && !file.isFile()) {
            QImage blank(1, 1, QImage::Format_ARGB32); // a null image would be loaded instead
            blank.fill(Qt::transparent);
            document->addResource(QTextDocument::ImageResource, url, blank);
        }
    }
}

} // namespace

TWebBrowser::TWebBrowser(TComponent* AOwner)
    : TWinControl(AOwner, new Bridged<QTextBrowser>(this)) {
    Browser()->setOpenLinks(false);
    Browser()->setFrameShape(QFrame::NoFrame);
    Browser()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Browser()->document()->setDocumentMargin(0);
    SetBounds(0, 0, 300, 150);
}

QTextBrowser* TWebBrowser::Browser() const {
    return static_cast<QTextBrowser*>(Widget());
}

void TWebBrowser::Navigate(const std::string& fileName) {
    ++itsNavigateCount;
    itsLocation = fileName;
    const QString path = QString::fromUtf8(fileName.c_str());
    QFile file(path);
    QTextDocument* document = Browser()->document();
    // Only a regular file is opened: a FIFO in the page's place would block the program.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        document->clear();
    } else {
        const QString html = QString::fromUtf8(file.readAll());
        document->setBaseUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath() + "/"));
        Browser()->setSearchPaths({QFileInfo(path).absolutePath()});
        document->setHtml(html);
        SkipIrregularImages(document);
        // Remember each image's size in percent, to scale it to the view.
        const auto sizes = PercentSizes(html);
        const std::vector<int> images = ImagePositions(document);
        for (size_t i = 0; i < images.size() && i < sizes.size(); ++i) {
            QTextCursor cursor(document);
            cursor.setPosition(images[i]);
            cursor.setPosition(images[i] + 1, QTextCursor::KeepAnchor);
            QTextImageFormat format = cursor.charFormat().toImageFormat();
            format.setProperty(kPercentWidth, sizes[i].first);
            format.setProperty(kPercentHeight, sizes[i].second);
            cursor.setCharFormat(format);
        }
        ScaleImages();
    }
    if (OnNavigate) {
        OnNavigate(this);
    }
}

// Gives each image with a size in percent its share of the view in pixels.
void TWebBrowser::ScaleImages() {
    QTextDocument* document = Browser()->document();
    const QSize view(GetClientWidth(), GetClientHeight());
    for (int position : ImagePositions(document)) {
        QTextCursor cursor(document);
        cursor.setPosition(position);
        cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
        QTextImageFormat format = cursor.charFormat().toImageFormat();
        const double width = format.doubleProperty(kPercentWidth);
        const double height = format.doubleProperty(kPercentHeight);
        if (width <= 0.0 && height <= 0.0) {
            continue;
        }
        if (width > 0.0) {
            format.setWidth(view.width() * width / 100.0);
        }
        if (height > 0.0) {
            // A pixel less, so a full-height image brings up no scroll bar.
            format.setHeight(std::max(1.0, view.height() * height / 100.0 - 1.0));
        }
        cursor.setCharFormat(format);
    }
}

std::string TWebBrowser::GetDocumentText() const {
    return Browser()->document()->toPlainText().toStdString();
}

void TWebBrowser::Resize() {
    ScaleImages();
    TWinControl::Resize();
}

} // namespace tk
