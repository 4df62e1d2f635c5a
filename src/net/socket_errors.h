#pragma once

#include <QString>
#include <QtGlobal>

// The socket error codes that the network components report and show. They keep the
// Windows Sockets numbering because the texts the program shows carry the number.
namespace wsock {
constexpr quint16 NoError = 0;
constexpr quint16 WSAEINTR = 10004; // also: stopped on request (lookup cancelled, Abort)
constexpr quint16 WSAEACCES = 10013;
constexpr quint16 WSAEINVAL = 10022;
constexpr quint16 WSAEWOULDBLOCK = 10035;
constexpr quint16 WSAEINPROGRESS = 10036;
constexpr quint16 WSAEALREADY = 10037;
constexpr quint16 WSAEMSGSIZE = 10040;
constexpr quint16 WSAEOPNOTSUPP = 10045;
constexpr quint16 WSAEADDRINUSE = 10048;
constexpr quint16 WSAEADDRNOTAVAIL = 10049;
constexpr quint16 WSAENETDOWN = 10050;
constexpr quint16 WSAENETUNREACH = 10051;
constexpr quint16 WSAECONNABORTED = 10053;
constexpr quint16 WSAECONNRESET = 10054;
constexpr quint16 WSAENOBUFS = 10055;
constexpr quint16 WSAENOTCONN = 10057;
constexpr quint16 WSAETIMEDOUT = 10060;
constexpr quint16 WSAECONNREFUSED = 10061;
constexpr quint16 WSAEHOSTUNREACH = 10065;
constexpr quint16 WSAHOST_NOT_FOUND = 11001;
constexpr quint16 WSATRY_AGAIN = 11002;
constexpr quint16 WSANO_RECOVERY = 11003;
constexpr quint16 WSANO_DATA = 11004;
} // namespace wsock

// The text shown for a socket error code; "Not a WinSock error" for any other number.
QString socketErrorText(int code);
