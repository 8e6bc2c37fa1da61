# The exports checked by the tools that read them: the Ansible task list by ansible-playbook and
# ansible-doc (Debian's ansible package; skipped when it is missing). Wine's regedit is checked in
# tests/wine/run_wine_tests.sh.
if(TARGET hivora AND NOT CMAKE_CROSSCOMPILING AND NOT WIN32)
  add_test(NAME export_ansible_check
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/ansible_check.sh $<TARGET_FILE:hivora>)
  set_tests_properties(export_ansible_check PROPERTIES
    LABELS export SKIP_RETURN_CODE 77 TIMEOUT 120)
endif()
