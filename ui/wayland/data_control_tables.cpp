// The interface tables that wayland-scanner makes from data-control.xml.in,
// one set for each name of the protocol. They are C, and compile as C++ when
// each table's extern declaration comes before it, so that the const tables
// keep external linkage. So the client headers come first:
#include "ext_data_control_v1.h"
#include "wlr_data_control_unstable_v1.h"
// and then the tables:
#include "ext_data_control_v1.c"
#include "wlr_data_control_unstable_v1.c"
