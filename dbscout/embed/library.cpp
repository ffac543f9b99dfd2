// The shared library's own entry points live in exports.cpp; this unit only anchors the target.
