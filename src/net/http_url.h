#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// An http or https address taken apart the way the HTTP client sends it. Everything that
// goes on the wire is already in its wire form: the host in ASCII (IDN names in their
// "xn--" form), the target percent-encoded where a request line cannot carry the
// character.
struct HttpUrl {
    QString scheme = QStringLiteral("http"); // "http" or "https"
    bool schemeGiven = false;
    QByteArray user; // percent-decoded, in the program's code page
    QByteArray password;
    QString host; // lower case; an IPv6 address without its brackets
    quint16 port = 80;
    bool portGiven = false;
    QByteArray target = "/"; // path and query; never empty, never a fragment

    bool isHttps() const { return scheme == QLatin1String("https"); }
    quint16 defaultPort() const { return isHttps() ? 443 : 80; }
    // host, or host:port when the port is not the scheme's own; IPv6 in brackets.
    QByteArray authority() const;
    // host:port always, as a CONNECT request names it.
    QByteArray hostAndPort() const;
    // scheme://authority/target: what a proxy is asked for.
    QByteArray absolute() const;
    // The last segment of the path without its query, or "document.htm" for the root.
    QString documentName() const;
};

enum class HttpUrlError { None, Invalid, UnsupportedScheme };

// Takes an address as the user typed it or a page named it: surrounding blanks are
// ignored, a missing scheme means http, a missing path "/". Control characters anywhere
// make it Invalid (they could end a request line early); so do an empty or malformed
// host and a port outside 1..65535. A scheme other than http and https is
// UnsupportedScheme.
HttpUrlError parseHttpUrl(QStringView text, HttpUrl& url);

// The address a redirect names, seen from the page that named it: absolute addresses
// stand on their own, "//host/..." keeps the scheme, "/path" keeps the server, anything
// else is relative to the page's folder ("." and ".." segments resolved). Credentials
// stay only while the server does.
HttpUrlError resolveHttpLocation(const HttpUrl& base, QStringView location, HttpUrl& url);
