#pragma once

// Files with Cyrillic text literals include this: the program's texts are
// Windows-1251 bytes, one per letter, which gcc produces with
// -fexec-charset=CP1251 (see cmake/project_options.cmake).
static_assert(sizeof("Ж") == 2, "text literals must be compiled as Windows-1251");
