" scenario-tool lsp in Vim for the line texts (*_linea.txt) and the train
" texts (*-.txt) of a scenario: each such file is read and written in
" Windows-1252, as the program reads it, and gets the file type `scenario`;
" the server is declared to ALE (Debian's vim-ale) or to vim-lsp, whichever
" is installed. In ~/.vimrc, after the plugins:
"
"   source /path/to/share/scenario-tool/vim/scenario.vim
"   " or, with the executable elsewhere than on the PATH:
"   let g:scenario_tool = '/opt/bin/scenario-tool'
"   source /path/to/share/scenario-tool/vim/scenario.vim
"
" Without g:scenario_tool, the scenario-tool installed beside this file (the
" package's bin/, or the top of the Windows folder) is used, else the one on
" the PATH.
if !exists('g:scenario_tool')
  let s:qui = expand('<sfile>:p:h')
  let g:scenario_tool = 'scenario-tool'
  for s:candidato in [s:qui . '/../../../bin/scenario-tool', s:qui . '/../../scenario-tool.exe']
    if executable(s:candidato)
      let g:scenario_tool = fnamemodify(s:candidato, ':p')
      break
    endif
  endfor
endif

augroup scenario_tool
  autocmd!
  autocmd BufReadPre *_linea.txt,*-.txt set fileencodings=cp1252
  autocmd BufReadPost *_linea.txt,*-.txt set fileencodings& | setlocal filetype=scenario
  autocmd BufNewFile *_linea.txt,*-.txt setlocal filetype=scenario fileencoding=cp1252
augroup END

" ALE shows the diagnostics in the sign column, at the line's end and in the
" location list.
if exists('*ale#linter#Define') || !empty(globpath(&runtimepath, 'autoload/ale/linter.vim'))
  call ale#linter#Define('scenario', {
        \ 'name': 'scenario-tool', 'lsp': 'stdio',
        \ 'executable': {buffer -> g:scenario_tool},
        \ 'command': '%e lsp', 'project_root': {buffer -> expand('#' . buffer . ':p:h')},
        \ })
endif

" vim-lsp.
augroup scenario_tool_lsp
  autocmd!
  autocmd User lsp_setup call lsp#register_server({
        \ 'name': 'scenario-tool',
        \ 'cmd': {server_info -> [g:scenario_tool, 'lsp']},
        \ 'allowlist': ['scenario'],
        \ })
augroup END
