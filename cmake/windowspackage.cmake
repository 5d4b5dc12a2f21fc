# KORVEX_WINDOWS_PACKAGE.zip (korvex-win64.zip, korvex-win32.zip): what a Windows user unpacks into the editor's plug-in folder.
# Korvex.dll, the runtime beside it in Korvex\ruby (where the plug-in loads it from), the sample
# scripts, the licences of what it ships and README.txt (with Windows line breaks).
set(korvex_package ${CMAKE_BINARY_DIR}/package)
set(korvex_zip ${CMAKE_BINARY_DIR}/${KORVEX_WINDOWS_PACKAGE}.zip)
set(KORVEX_VERSION ${PROJECT_VERSION})
# Each package's README names the other one, for users of the other kind of editor.
if(KORVEX_WINDOWS_BITS EQUAL 64)
    set(KORVEX_OTHER_BITS 32)
    set(KORVEX_OTHER_PACKAGE korvex-win32)
else()
    set(KORVEX_OTHER_BITS 64)
    set(KORVEX_OTHER_PACKAGE korvex-win64)
endif()
configure_file(${PROJECT_SOURCE_DIR}/tools/windows/package/README.txt
               ${CMAKE_BINARY_DIR}/package-readme.txt @ONLY)
file(READ ${CMAKE_BINARY_DIR}/package-readme.txt korvex_readme)
string(REPLACE "\n" "\r\n" korvex_readme "${korvex_readme}")
file(WRITE ${CMAKE_BINARY_DIR}/README.txt "${korvex_readme}")

# Debian's copyright files of what the package ships, which hold the licence texts; the
# runtime build puts those of the libraries it links into extensions beside the runtime.
set(korvex_licences
    ruby=/usr/share/doc/libruby3.1/copyright
    zlib=/usr/share/doc/libz-mingw-w64/copyright
    mingw-w64=${KORVEX_MINGW_LICENCE}
    gcc-runtime=/usr/share/doc/gcc-mingw-w64-base/copyright
    openssl=${KORVEX_RUBY_WIN64}/licences/openssl.txt
    libffi=${KORVEX_RUBY_WIN64}/licences/libffi.txt
    ca-certificates=/usr/share/doc/ca-certificates/copyright)
set(korvex_licence_commands)
foreach(entry IN LISTS korvex_licences)
    string(REPLACE "=" ";" pair "${entry}")
    list(GET pair 0 name)
    list(GET pair 1 source)
    list(APPEND korvex_licence_commands
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${korvex_package}/Korvex/licences/${name}.txt)
endforeach()
file(GLOB korvex_samples ${PROJECT_SOURCE_DIR}/samples/*)

add_custom_command(OUTPUT ${korvex_zip}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${korvex_package} ${korvex_zip}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${korvex_package}/Korvex/samples
            ${korvex_package}/Korvex/licences
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Korvex> ${CMAKE_BINARY_DIR}/README.txt
            ${korvex_package}/
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${KORVEX_RUBY_WIN64}/bin
            ${korvex_package}/Korvex/ruby/bin
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${KORVEX_RUBY_WIN64}/lib/ruby
            ${korvex_package}/Korvex/ruby/lib/ruby
    COMMAND ${CMAKE_COMMAND} -E copy ${KORVEX_CA_BUNDLE} ${korvex_package}/Korvex/ruby/ssl/cert.pem
    COMMAND ${CMAKE_COMMAND} -E copy ${korvex_samples} ${korvex_package}/Korvex/samples/
    ${korvex_licence_commands}
    COMMAND ${CMAKE_COMMAND} -E chdir ${korvex_package} zip -q -r -X ${korvex_zip} .
    DEPENDS Korvex ${CMAKE_BINARY_DIR}/README.txt ${korvex_samples}
            ${KORVEX_RUBY_WIN64}/bin/${KORVEX_RUBY_DLL_NAME} ${KORVEX_CA_BUNDLE}
    COMMENT "Packing ${KORVEX_WINDOWS_PACKAGE}.zip")
add_custom_target(korvex_package ALL DEPENDS ${korvex_zip})
