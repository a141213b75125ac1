#pragma once

#include "interchange/SourceCard.h"

class QIODevice;

namespace interchange {

// Every card of a vCard 2.1, 3.0 or 4.0 file: folded lines joined, quoted-printable decoded
// (soft line breaks too), BASE64 values (photos, sounds) skipped, each value in its CHARSET,
// else the file's encoding (UTF-8 when all of it is valid UTF-8, otherwise Windows-1255).
// Property names and parameters count in any case and order, in the old (TEL;CELL) and the
// new (TEL;TYPE=cell,voice) forms. A card holding a line that cannot be read is given with
// the reason in `malformed`; lines outside any card are listed as problems. Reads from the
// device's current position to its end; the device must allow seeking back.
// With a sink, each card goes to it as soon as it is read and `cards` stays empty.
SourceFile readVcf(QIODevice& device, const CardSink& sink = {});

} // namespace interchange
