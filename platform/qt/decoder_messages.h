#pragma once

#include <QString>
#include <QtGlobal>

// While it lives, what the image decoders say (Qt's warnings, and what the
// libraries under them print on the standard error) is kept here instead of
// reaching the user's terminal, for the loader to judge the file by.
class DecoderMessages {
public:
    DecoderMessages();
    ~DecoderMessages();
    DecoderMessages(const DecoderMessages&) = delete;
    DecoderMessages& operator=(const DecoderMessages&) = delete;

    // Everything said so far, one message a line.
    QString text() const;

private:
    QtMessageHandler previousHandler_;
    int savedStandardError_ = -1;
    int capture_ = -1;
};
