#pragma once
// Brings the main window forward when a later launch asks for it. A desktop that prevents
// windows from taking the focus by themselves lets one come forward when it shows that the user
// asked for it: with the token the launcher gave the later launch, handed over to the instance.
//
// - Wayland: the XDG_ACTIVATION_TOKEN. Qt's shell integration hands the token in the environment
//   to the compositor when the window asks to be activated, and takes it out; this sets it for
//   that one request.
// - X11: the DESKTOP_STARTUP_ID (or, from a launcher that gave only the Wayland token, that
//   token, which the desktops that hand both out make equal). The window takes it as its
//   _NET_STARTUP_ID, asks the window manager to activate it with the time of the launch the id
//   carries, and ends the launch's busy feedback (the startup notification's "remove" message),
//   which the later launch never ends: it opens no window.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>

class QWidget;

namespace Tessarine::WindowActivation {

// Shows `window` unminimised, raised and active, with the later launch's `token` (Wayland) and
// `startupId` (X11) where they are given and the window system takes them. Logs which it used.
void activate(QWidget& window, const QString& token, const QString& startupId);

// The X server time of the launch a startup id carries ("…_TIME<decimal>" at its end).
std::optional<std::uint32_t> launchTime(QByteArrayView startupId);
// The startup notification message that ends the launch `startupId` ("remove: ID=…", the id
// quoted when it holds a blank, a quote or a backslash).
QByteArray removeMessage(QByteArrayView startupId);

} // namespace Tessarine::WindowActivation
