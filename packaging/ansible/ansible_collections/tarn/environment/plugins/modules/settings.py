# -*- coding: utf-8 -*-
# The settings of the TARN environment, through the installed tarn-settings,
# so that the rules of its settings files live in one program.
# MIT licence (see the package's copyright file).

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
module: settings
short_description: Sets values of the TARN environment's settings files
description:
  - Sets or removes one value of a settings file of the TARN environment (C(tarnserver.ini),
    C(tarnclient.ini)), with the options of M(community.general.ini_file), or applies a whole
    document that C(tarn-settings dump) printed.
  - It runs the installed C(tarn-settings load), which writes each file in one replacement under
    the lock that the environment's writers share, keeps every other byte of the file, and
    writes only the keys it names. A value that a file already holds is not written again, so a
    second run reports no change.
  - Values are text that Windows-1252 can hold, without line breaks; any other is refused with
    the message of C(tarn-settings).
version_added: "1.0.0"
author: Equipe TARN (tarn@kesslan.example)
options:
  path:
    description:
      - The settings file, for one value. It need not exist.
    type: path
    aliases: [dest]
  section:
    description:
      - The section of the value, as C(CLIENT), C(SERVER) or C(QUORVAN). Names compare without
        regard to case.
    type: str
  option:
    description:
      - The key of the value, as C(TIMEOUT).
    type: str
  value:
    description:
      - The value, written exactly; blanks and quotes at its ends are kept. Required with
        I(state=present) and I(path).
    type: str
  state:
    description:
      - Whether the key is there with I(value), or not there.
    type: str
    choices: [present, absent]
    default: present
  dump:
    description:
      - A whole settings document, as C(tarn-settings dump) prints it (sections named
        C([tarnclient.ini:CLIENT]), C(KEY=VALUE) lines, C(-KEY) to remove a key). Its keys are
        written into the files of I(folder); keys it does not name stay as they are.
    type: str
  folder:
    description:
      - The folder that holds the settings files named by I(dump). By default the folder of the
        installed programs (C(/opt/tarn), whose files lead to C(/etc/opt/tarn)).
    type: path
notes:
  - Supports check mode, which writes nothing, and diff mode, which shows each file's change as
    a unified diff.
  - Runs C(tarn-settings), found on the remote machine's C(PATH) (the package puts it in
    C(/usr/bin)). The user must be allowed to save the settings (a member of the group C(tarn), or
    root).
requirements:
  - tarn (the package that installs tarn-settings)
'''

EXAMPLES = r'''
- name: Clients use the central server
  tarn.environment.settings:
    path: /opt/tarn/tarnclient.ini
    section: CLIENT
    option: FORCEADDRESS
    value: servidor.exemplo:6015

- name: The server logs less
  tarn.environment.settings:
    path: /opt/tarn/tarnserver.ini
    section: SERVER
    option: log_level
    value: "1"

- name: The clients decide on compression again
  tarn.environment.settings:
    path: /opt/tarn/tarnclient.ini
    section: CLIENT
    option: REQUESTCOMPRESSION
    state: absent

- name: Every machine as the reference machine (tarn-settings dump > site.ini there)
  tarn.environment.settings:
    dump: "{{ lookup('ansible.builtin.file', 'site.ini') }}"
'''

RETURN = r'''
diff:
  description: The change of each file as a unified diff (in diff mode).
  returned: changed and diff mode
  type: dict
  sample: {prepared: "--- /opt/tarn/tarnclient.ini\n+++ /opt/tarn/tarnclient.ini\n..."}
'''

import os

from ansible.module_utils.basic import AnsibleModule

# The statuses of tarn-settings load: nothing to change, changed.
UNCHANGED = 0
CHANGED = 3


def one_value_document(module):
    params = module.params
    section, option, value = params['section'], params['option'], params['value']
    for name, text in (('section', section), ('option', option), ('value', value or '')):
        if '\n' in text or '\r' in text:
            module.fail_json(msg='the %s holds a line break, which a settings file cannot hold' % name)
    header = '[%s:%s]\n' % (os.path.basename(params['path']), section)
    if params['state'] == 'absent':
        return header + '-%s\n' % option
    # Between quotes, a value keeps the blanks and quotes at its ends.
    return header + '%s="%s"\n' % (option, value)


def run_load(module, document, folder, check):
    command = [module.get_bin_path('tarn-settings', required=True), 'load']
    if check:
        command.append('--check')
    command.append('-')
    if folder:
        command.append(folder)
    # The document and the diff travel as UTF-8, which is what Ansible speaks.
    rc, out, err = module.run_command(command, data=document, binary_data=True,
                                      environ_update={'LC_ALL': 'C.UTF-8'})
    if rc not in (UNCHANGED, CHANGED):
        module.fail_json(msg=(err or out).strip(), rc=rc, cmd=command)
    return rc == CHANGED, out


def main():
    module = AnsibleModule(
        argument_spec=dict(
            path=dict(type='path', aliases=['dest']),
            section=dict(type='str'),
            option=dict(type='str'),
            value=dict(type='str'),
            state=dict(type='str', choices=['present', 'absent'], default='present'),
            dump=dict(type='str'),
            folder=dict(type='path'),
        ),
        mutually_exclusive=[('dump', 'path'), ('dump', 'section'), ('dump', 'option'), ('dump', 'value'),
                            ('path', 'folder')],
        required_one_of=[('dump', 'path')],
        required_by={'path': ('section', 'option')},
        supports_check_mode=True,
    )
    if module.params['dump'] is not None:
        document, folder = module.params['dump'], module.params['folder']
    else:
        if module.params['state'] == 'present' and module.params['value'] is None:
            module.fail_json(msg='state is present but the value is missing')
        document, folder = one_value_document(module), os.path.dirname(module.params['path']) or '.'
    changed, diff = run_load(module, document, folder, True)
    if changed and not module.check_mode:
        changed = run_load(module, document, folder, False)[0]
    result = dict(changed=changed)
    if changed and module._diff:
        result['diff'] = dict(prepared=diff)
    module.exit_json(**result)


if __name__ == '__main__':
    main()
