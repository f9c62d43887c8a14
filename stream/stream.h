#pragma once
// Everything a user of the stream library needs.
#include "stream/block.h"
#include "stream/byte_interfaces.h"
#include "stream/file_output_stream.h"
#include "stream/little_endian.h"
#include "stream/memory_block_reader.h"
#include "stream/memory_buffer.h"
#include "stream/object_base.h"
#include "stream/utf16.h"
