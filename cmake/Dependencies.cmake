# Libraries found through pkg-config, each as an imported target PkgConfig::<NAME>.
# Only platform/ libraries (and the codec-backed image decoders) link them.
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(EPOXY REQUIRED IMPORTED_TARGET epoxy)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng16)
pkg_check_modules(JPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(AVCODEC REQUIRED IMPORTED_TARGET libavcodec)
pkg_check_modules(SWRESAMPLE REQUIRED IMPORTED_TARGET libswresample)
pkg_check_modules(AVUTIL REQUIRED IMPORTED_TARGET libavutil)
pkg_check_modules(VORBISFILE REQUIRED IMPORTED_TARGET vorbisfile)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
# Only for the display connection's end (platform/window) and the tests' screenshots.
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
# MIDI ports (platform/midi) and the tests' MIDI sender on a private JACK server.
pkg_check_modules(RTMIDI REQUIRED IMPORTED_TARGET rtmidi)
pkg_check_modules(JACK REQUIRED IMPORTED_TARGET jack)
# The ALSA library, to keep its messages off stderr while SDL probes for an output, and the
# PulseAudio client, to see that a server has a sink before SDL's driver starts on it.
pkg_check_modules(ALSA REQUIRED IMPORTED_TARGET alsa)
pkg_check_modules(PULSE_SIMPLE REQUIRED IMPORTED_TARGET libpulse-simple)
