# cmake -DFILE=PATH -P print_size.cmake: prints the file's name and size in bytes.
file(SIZE "${FILE}" size)
get_filename_component(name "${FILE}" NAME)
message(STATUS "${name}: ${size} bytes")
