ARGV.clear
# With no file names Kernel#gets reads $stdin, whose gets is private in the editor.
begin
  p gets
rescue NoMethodError => e
  puts e.class, e.name
end
