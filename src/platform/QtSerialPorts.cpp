#include "platform/QtSerialPorts.h"

#include <QSerialPort>
#include <QSettings>

namespace platform {

QString QtSerialPorts::deviceOf(int port) const {
    // Picks up an edit of the settings file made while the program runs.
    m_settings.sync();
    const QString chosen =
        m_settings.value(QStringLiteral("Dialer/COM%1").arg(port)).toString().trimmed();
    if (!chosen.isEmpty())
        return chosen;
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(port);
#else
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
#endif
}

std::unique_ptr<QIODevice> QtSerialPorts::open(int port) {
    if (port < 1 || port > 4)
        return nullptr;
    auto serial = std::make_unique<QSerialPort>(deviceOf(port));
    serial->setBaudRate(QSerialPort::Baud9600);
    serial->setParity(QSerialPort::NoParity);
    serial->setDataBits(QSerialPort::Data8);
    serial->setStopBits(QSerialPort::OneStop);
    serial->setFlowControl(QSerialPort::NoFlowControl);
    if (!serial->open(QIODevice::ReadWrite))
        return nullptr;
    // Whatever the device kept from before this opening is not an answer to us.
    serial->clear(QSerialPort::AllDirections);
    // A device that goes away (a USB modem pulled out) is closed, after the notification that
    // reported it, instead of reporting the same end of input again and again.
    QObject::connect(serial.get(), &QSerialPort::errorOccurred, serial.get(),
                     [s = serial.get()](QSerialPort::SerialPortError error) {
                         if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError)
                             QMetaObject::invokeMethod(s, &QSerialPort::close,
                                                       Qt::QueuedConnection);
                     });
    return serial;
}

} // namespace platform
