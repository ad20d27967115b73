#pragma once

#include <QByteArray>
#include <QString>

// An options file byte for byte as the profile functions write it: GBK, CR LF, no blank lines.
inline const QByteArray kGbkOwnTail = QByteArrayLiteral(
    "[\xb1\xbe\xcf\xfb\xcf\xa2\xd3\xc9\xc7\xe0\xe1\xb0\xc8\xb8\xcc\xf9\xb0\xc9\xd0\xa1\xce\xb2"
    "\xb0\xcd\xd7\xd4\xb6\xaf\xb7\xa2\xcb\xcd]");
inline const QString kOwnTail = QStringLiteral("[本消息由青岚雀贴吧小尾巴自动发送]");
inline const QByteArray kSampleOptions =
    "[t1]\r\nt=" + kGbkOwnTail + "\r\n[peizhi]\r\nCheck1=0\r\nCheck2=1\r\nweiba=0\r\n";
