#include "app/views/shell/WindowActivation.h"

#include <QGuiApplication>
#include <QWidget>
#include <qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/base/Logging.h"

namespace Tessarine::WindowActivation {

namespace {

// Bytes of a startup notification message in one X client message.
constexpr int bytesPerMessage = 20;

template <class T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

enum Atom : std::size_t { startupIdAtom, utf8String, activeWindow, startupInfoBegin, startupInfo, atomCount };

// The atoms this needs, interned in one round trip; absent when the server did not answer.
std::optional<std::array<xcb_atom_t, atomCount>> internAtoms(xcb_connection_t* connection) {
    static constexpr std::array<const char*, atomCount> names{"_NET_STARTUP_ID", "UTF8_STRING", "_NET_ACTIVE_WINDOW",
                                                              "_NET_STARTUP_INFO_BEGIN", "_NET_STARTUP_INFO"};
    std::array<xcb_intern_atom_cookie_t, atomCount> cookies{};
    for (std::size_t i = 0; i < atomCount; ++i)
        cookies[i] = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(names[i])), names[i]);
    std::array<xcb_atom_t, atomCount> atoms{};
    bool answered = true;
    for (std::size_t i = 0; i < atomCount; ++i) {
        const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookies[i], nullptr), &std::free);
        if (reply)
            atoms[i] = reply->atom;
        else
            answered = false;
    }
    if (!answered) return std::nullopt;
    return atoms;
}

// Hands `id` to the window manager for `window`; false when this is not an X11 display or the
// server did not answer.
bool activateOnX11(QWidget& window, const QByteArray& id) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return false;
    const auto client = static_cast<xcb_window_t>(window.winId());
    const Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(connection, xcb_query_tree(connection, client), nullptr),
                                             &std::free);
    const auto atoms = internAtoms(connection);
    if (!tree || !atoms) return false;
    const xcb_window_t root = tree->root;

    // The window now answers to this launch: window managers that follow the property take it
    // as a request to activate the window from the launch.
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, client, (*atoms)[startupIdAtom], (*atoms)[utf8String], 8,
                        static_cast<std::uint32_t>(id.size()), id.constData());
    // The request to activate, as a program asks for it, at the time of the user's launch, which
    // a manager that prevents focus stealing weighs against the user's last input elsewhere.
    if (const auto time = launchTime(id)) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = client;
        event.type = (*atoms)[activeWindow];
        event.data.data32[0] = 1; // from an application
        event.data.data32[1] = *time;
        event.data.data32[2] = XCB_NONE;
        xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char*>(&event));
    }
    // The launch's feedback ends: a message with its terminating NUL, 20 bytes at a time.
    const QByteArray message = removeMessage(id) + '\0';
    for (qsizetype sent = 0; sent < message.size(); sent += bytesPerMessage) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = root;
        event.type = sent == 0 ? (*atoms)[startupInfoBegin] : (*atoms)[startupInfo];
        const auto n = std::min<qsizetype>(bytesPerMessage, message.size() - sent);
        std::memcpy(event.data.data8, message.constData() + sent, static_cast<std::size_t>(n));
        xcb_send_event(connection, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE, reinterpret_cast<const char*>(&event));
    }
    xcb_flush(connection);
    return true;
}

} // namespace

std::optional<std::uint32_t> launchTime(QByteArrayView startupId) {
    const qsizetype at = startupId.lastIndexOf(QByteArrayView("_TIME"));
    if (at < 0) return std::nullopt;
    const QByteArrayView digits = startupId.sliced(at + 5);
    if (digits.isEmpty() || digits.size() > 10 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const unsigned long long time = std::strtoull(digits.toByteArray().constData(), nullptr, 10);
    // X server times are 32 bits; 0 is "now", which says nothing of the launch.
    if (time == 0 || time > 0xffffffffULL) return std::nullopt;
    return static_cast<std::uint32_t>(time);
}

QByteArray removeMessage(QByteArrayView startupId) {
    const bool quoted = std::any_of(startupId.begin(), startupId.end(), [](char c) { return c == ' ' || c == '"' || c == '\\'; });
    QByteArray value;
    for (const char c : startupId) {
        if (quoted && (c == '"' || c == '\\')) value += '\\';
        value += c;
    }
    return QByteArrayLiteral("remove: ID=") + (quoted ? '"' + value + '"' : value);
}

void activate(QWidget& window, const QString& token, const QString& startupId) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    const QString platform = QGuiApplication::platformName();
    const bool wayland = platform.startsWith(QLatin1String("wayland"));
    // Taken by Qt's shell integration for this request alone; never left for a program the
    // application starts later.
    if (wayland && !token.isEmpty()) qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
    window.activateWindow();
    if (wayland && !token.isEmpty()) {
        qunsetenv("XDG_ACTIVATION_TOKEN");
        qCInfo(logViews).noquote() << QStringLiteral("Activated the window with the later launch's activation token \u201C%1\u201D").arg(token);
        return;
    }
    if (platform != QLatin1String("xcb")) return;
    const bool fromToken = startupId.isEmpty();
    const QString id = fromToken ? token : startupId;
    if (id.isEmpty()) return;
    const QString what = fromToken ? QStringLiteral("activation token") : QStringLiteral("startup id");
    if (activateOnX11(window, id.toUtf8()))
        qCInfo(logViews).noquote() << QStringLiteral("Activated the window with the later launch's %1 \u201C%2\u201D").arg(what, id);
    else
        qCWarning(logViews).noquote() << QStringLiteral("Couldn't hand the later launch's %1 \u201C%2\u201D to the X server").arg(what, id);
}

} // namespace Tessarine::WindowActivation
