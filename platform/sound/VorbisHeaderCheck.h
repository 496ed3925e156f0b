#pragma once
// A look at the headers of an Ogg Vorbis file before the decoder opens it, for two faults of
// the decoder on damaged files. It cannot build a codebook whose code lengths do not make a
// whole prefix code; it then leaves its books blank, and the next start of decoding (a rewind
// for the next repeat) decodes with them and divides by their dimension of 0 (a codebook that
// says dimension 0 itself does the same). And a file whose headers it refuses costs a little
// memory that it never gives back, on every attempt to play it. No encoder writes such files,
// so they are refused here as damaged.
#include <cstddef>
#include <cstdint>

// True when the file holds logical streams and each is a Vorbis stream whose three headers read,
// with codebooks of dimension 1 or more whose code lengths make whole prefix codes.
bool VorbisHeadersAreSound(const uint8_t* data, size_t size);
