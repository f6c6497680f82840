# skylane_embed_images(TARGET t FILES a.png b.png ...)
#
# Builds each PNG into an object file of the target (a generated source whose
# assembly includes the file's bytes with .incbin) and registers them in one
# generated table, so that LoadEmbeddedBitmap finds them by file name. The
# target must link skylane_gui. A changed PNG rebuilds its object file.
function(skylane_embed_images)
  cmake_parse_arguments(E "" "TARGET" "FILES" ${ARGN})
  if(NOT E_FILES)
    message(FATAL_ERROR "skylane_embed_images: no images for ${E_TARGET}")
  endif()
  string(MAKE_C_IDENTIFIER "${E_TARGET}" id)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${E_TARGET}_images)
  set(decls "")
  set(entries "")
  set(sources "")
  set(i 0)
  foreach(png IN LISTS E_FILES)
    get_filename_component(path ${png} ABSOLUTE)
    get_filename_component(name ${png} NAME)
    if(path MATCHES "[\"\\\\]" OR name MATCHES "[\"\\\\]")
      message(FATAL_ERROR "skylane_embed_images: unusable path ${path}")
    endif()
    set(sym skylane_image_${id}_${i})
    set(src ${dir}/image_${i}.cpp)
    file(CONFIGURE OUTPUT ${src} CONTENT "// Generated: the bytes of ${name}.
__asm__(
    \".pushsection .rodata.${sym},\\\"a\\\",@progbits\\n\"
    \".balign 16\\n\"
    \".globl ${sym}\\n.hidden ${sym}\\n${sym}:\\n\"
    \".incbin \\\"${path}\\\"\\n\"
    \".globl ${sym}_end\\n.hidden ${sym}_end\\n${sym}_end:\\n\"
    \".popsection\\n\");
" @ONLY)
    set_source_files_properties(${src} PROPERTIES OBJECT_DEPENDS ${path})
    string(APPEND decls "extern \"C\" const unsigned char ${sym}[];\nextern \"C\" const unsigned char ${sym}_end[];\n")
    string(APPEND entries "    {\"${name}\", ${sym}, ${sym}_end},\n")
    list(APPEND sources ${src})
    math(EXPR i "${i} + 1")
  endforeach()
  set(table ${dir}/image_table.cpp)
  file(CONFIGURE OUTPUT ${table} CONTENT "// Generated: the images built into ${E_TARGET}.
#include \"gui/embedded_images.h\"

${decls}
namespace {

const EmbeddedImage kImages[] = {
${entries}};

EmbeddedImageSet s_images(kImages, ${i});

}  // namespace
" @ONLY)
  target_sources(${E_TARGET} PRIVATE ${sources} ${table})
endfunction()
