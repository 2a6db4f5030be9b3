# Libraries found through pkg-config, each as an imported target PkgConfig::<NAME>.
# Only platform/ libraries (and the codec-backed image decoders) link them.
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
