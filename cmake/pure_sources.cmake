# The sources that need nothing of the platform (no <windows.h>): built into Tilo.scr
# and also natively, into the sanitizer tests (tests/native) and the fuzz targets.
# Paths from the repository root; a new platform-free source is added here only.
set(TILO_PURE_SOURCES
  animation/frame_rate.cpp
  animation/module_math.cpp
  animation/view_steps.cpp
  dialogs/removal_command.cpp
  render/meshes/mesh0.cpp
  render/meshes/mesh1.cpp
  render/meshes/mesh2.cpp
  render/meshes/mesh3.cpp
  render/meshes/mesh4.cpp
  render/meshes/mesh5.cpp
  render/meshes/mesh6.cpp
  render/meshes/mesh7.cpp
  render/monitor_math.cpp
  render/pixel_format.cpp
  render/scene_math.cpp
  shell/cmdline.cpp
  sound/mem_stream.cpp
  support/web_link.cpp
)
