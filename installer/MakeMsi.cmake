# Builds one Windows Installer package from Cornice.wxs with wixl (cmake -P, from
# installer/CMakeLists.txt through the generated make-msi.sh, which the tests use too):
#   cmake -DWIXL=... -DMSIBUILD=... -DMSIINFO=... -DSOURCE=Cornice.wxs -DARCH=x86|x64 -DVERSION=7.0.0
#         -DCORBEL=... -DTRELLIS=... -DART_DIR=installer/ -DICON=... -DOUTPUT=x.msi
#         -DFACTS_DIR=<the folder of AddInFacts.wxi> -P MakeMsi.cmake
# wixl finds files only relative to the folder it runs in: they are laid out in a folder of
# their own beside OUTPUT first, under the names Cornice.wxs gives them.
set(stage ${OUTPUT}.files)
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage}/x ${stage}/Xtreme)
file(COPY_FILE ${CORBEL} ${stage}/Corbel.dll)
file(COPY_FILE ${TRELLIS} ${stage}/Trellis.exe)
file(COPY_FILE ${ICON} ${stage}/Trellis.ico)
foreach(file HAND-M.CUR x/o.cjs Xtreme/Office2007.cjstyles)
  file(COPY_FILE ${ART_DIR}/${file} ${stage}/${file})
endforeach()
file(REMOVE ${OUTPUT})
execute_process(COMMAND ${WIXL} -a ${ARCH} -D Arch=${ARCH} -D Version=${VERSION} -I ${FACTS_DIR} -o ${OUTPUT} ${SOURCE}
                WORKING_DIRECTORY ${stage} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "wixl failed (${result})")
endif()
# wixl 0.101 knows no MajorUpgrade/@AllowSameVersionUpgrades: a rebuild of the same version
# (a new ProductCode) would install beside the one it should replace. The upgrade row takes the
# same version too (msidbUpgradeAttributesVersionMaxInclusive, 512); the downgrade row already
# starts above it. Every column of the row but the last is part of its key, so it is replaced.
execute_process(COMMAND ${MSIINFO} export ${OUTPUT} Upgrade OUTPUT_VARIABLE rows RESULT_VARIABLE result)
string(REGEX MATCH "\n({[0-9A-F-]+})\t\t([0-9.]+)\t\t1\t\tWIX_UPGRADE_DETECTED" row "${rows}")
if(NOT result EQUAL 0 OR NOT row)
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "no major upgrade row in ${OUTPUT}: ${rows}")
endif()
execute_process(COMMAND ${MSIBUILD} ${OUTPUT}
                        -q "DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'"
                        -q "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('${CMAKE_MATCH_1}', '${CMAKE_MATCH_2}', 513, 'WIX_UPGRADE_DETECTED')"
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "msibuild failed (${result})")
endif()
file(REMOVE_RECURSE ${stage})
