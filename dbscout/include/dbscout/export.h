#pragma once

// Everything in libdbscout.so is hidden unless marked with DBSCOUT_EXPORT.
#define DBSCOUT_EXPORT __attribute__((visibility("default")))
