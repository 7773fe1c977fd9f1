// The image file module: decoded pictures, the readers (TGA, JPEG, PNG, GIF), loading by name with
// companion alpha files, and the PNG and JPEG writers.
#pragma once

#include "framework/resource/GIFReader.h"
#include "framework/resource/Image.h"
#include "framework/resource/ImageLoader.h"
#include "framework/resource/JPEGReader.h"
#include "framework/resource/JPEGWriter.h"
#include "framework/resource/PNGReader.h"
#include "framework/resource/PNGWriter.h"
#include "framework/resource/TGAReader.h"
